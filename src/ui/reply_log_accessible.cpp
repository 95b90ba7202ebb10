#include "ui/reply_log_accessible.h"

#include "ui/reply_log.h"

#include <QAccessibleWidget>

namespace kxlt::ui {

namespace {

struct Span {
    int start;
    int end;
};

// The line (without its break) around `offset`.
Span lineAround(const QString& text, int offset)
{
    const int start = offset <= 0 ? 0 : int(text.lastIndexOf(QLatin1Char('\n'), offset - 1)) + 1;
    int end = int(text.indexOf(QLatin1Char('\n'), offset));
    if (end < 0)
        end = int(text.size());
    if (end > start && text[end - 1] == QLatin1Char('\r'))
        --end;
    return {start, end};
}

class ReplyLogAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReplyLogAccessible(ReplyLog* log) : QAccessibleWidget(log, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? log()->text() : QAccessibleWidget::text(type);
    }

    QString text(int start, int end) const override
    {
        return log()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(log()->text().size()); }
    int cursorPosition() const override { return characterCount(); }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override
    {
        const QString all = log()->text();
        Span span{0, int(all.size())};
        if (boundary == QAccessible::CharBoundary)
            span = {offset, std::min(offset + 1, int(all.size()))};
        else if (boundary != QAccessible::NoBoundary)
            span = lineAround(all, offset);
        *start = span.start;
        *end = span.end;
        return all.mid(span.start, span.end - span.start);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override
    {
        const Span current = lineAround(log()->text(), offset);
        return textAtOffset(boundary == QAccessible::CharBoundary ? offset - 1 : current.start - 1,
                            boundary, start, end);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override
    {
        const QString all = log()->text();
        const int next = boundary == QAccessible::CharBoundary
                             ? offset + 1
                             : int(all.indexOf(QLatin1Char('\n'), offset)) + 1;
        if (next <= 0 || next >= all.size()) {
            *start = *end = int(all.size());
            return {};
        }
        return textAtOffset(next, boundary, start, end);
    }

    // The log offers no text selection or caret of its own to assistive tools.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    ReplyLog* log() const { return static_cast<ReplyLog*>(widget()); }
};

} // namespace

QAccessibleInterface* replyLogAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(ReplyLog::staticMetaObject.className()))
        return new ReplyLogAccessible(static_cast<ReplyLog*>(object));
    return nullptr;
}

} // namespace kxlt::ui
