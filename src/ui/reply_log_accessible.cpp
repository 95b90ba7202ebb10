#include "ui/reply_log_accessible.h"

#include "ui/reply_log.h"

#include <QAccessibleWidget>

namespace kxlt::ui {

namespace {

// Answers from the log's line store: a screen reader asks on every caret move and every new
// line, so no answer may cost more than the piece of text it returns.
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

    // The widget's own texts (its name) stay as QAccessibleWidget gives them.
    using QAccessibleWidget::text;
    QString text(int start, int end) const override
    {
        if (start >= end)
            return {};
        const std::string_view slice = lines().sliceUtf16(position(start), position(end));
        return QString::fromUtf8(slice.data(), qsizetype(slice.size()));
    }
    int characterCount() const override { return int(lines().utf16Size()); }
    int cursorPosition() const override { return characterCount(); }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override
    {
        if (boundary == QAccessible::CharBoundary) {
            const int at = int(position(offset));
            return spanText(at, std::min(at + 1, characterCount()), start, end);
        }
        if (boundary == QAccessible::NoBoundary)
            return spanText(0, characterCount(), start, end);
        return lineText(lines().lineAtUtf16(position(offset)), start, end);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override
    {
        if (boundary == QAccessible::CharBoundary) {
            const int at = int(position(offset));
            return spanText(std::max(at - 1, 0), at, start, end);
        }
        const std::size_t line = lines().lineAtUtf16(position(offset));
        return line > 0 ? lineText(line - 1, start, end) : spanText(0, 0, start, end);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override
    {
        if (boundary == QAccessible::CharBoundary)
            return textAtOffset(std::min(offset + 1, characterCount()), boundary, start, end);
        const std::size_t next = lines().lineAtUtf16(position(offset)) + 1;
        if (next >= lines().lineCount())
            return spanText(characterCount(), characterCount(), start, end);
        return lineText(next, start, end);
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
    const LineStore& lines() const { return log()->lines(); }

    std::size_t position(int offset) const
    {
        return std::min(std::size_t(std::max(offset, 0)), lines().utf16Size());
    }

    QString spanText(int from, int to, int* start, int* end) const
    {
        *start = from;
        *end = to;
        return text(from, to);
    }

    // The line without its break.
    QString lineText(std::size_t index, int* start, int* end) const
    {
        const std::string_view line = lines().line(index);
        QString text = QString::fromUtf8(line.data(), qsizetype(line.size()));
        *start = int(lines().lineStartUtf16(index));
        *end = *start + int(text.size());
        return text;
    }
};

} // namespace

QAccessibleInterface* replyLogAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(ReplyLog::staticMetaObject.className()))
        return new ReplyLogAccessible(static_cast<ReplyLog*>(object));
    return nullptr;
}

} // namespace kxlt::ui
