#include "ui/reply_log.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

namespace kxlt::ui {

namespace {

// Lines arrive far faster than a screen shows them; repaint at about the display's rate.
constexpr int kRefreshIntervalMs = 16;

} // namespace

ReplyLog::ReplyLog(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setCursor(Qt::IBeamCursor);
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshIntervalMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &ReplyLog::refresh);
}

QString ReplyLog::text() const { return QString::fromStdString(store_.text()); }

void ReplyLog::appendText(std::string_view utf8)
{
    const auto end = static_cast<int>(store_.utf16Size());
    store_.append(utf8);
    // Lets a screen reader read replies as they arrive.
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(
            this, end, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        QAccessible::updateAccessibility(&inserted);
    }
    textChanged();
}

void ReplyLog::textChanged()
{
    if (!refreshTimer_.isActive())
        refreshTimer_.start();
    emit changed();
}

void ReplyLog::moveCaretToEnd()
{
    followEnd_ = true;
    if (!refreshTimer_.isActive())
        refreshTimer_.start();
}

void ReplyLog::refresh()
{
    updateScrollBars();
    if (followEnd_) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        followEnd_ = false;
    }
    viewport()->update();
}

int ReplyLog::rowHeight() const { return fontMetrics().height(); }

int ReplyLog::visibleRows() const { return std::max(1, viewport()->height() / rowHeight()); }

void ReplyLog::updateScrollBars()
{
    const auto rows = static_cast<int>(std::min<std::size_t>(store_.lineCount(), INT_MAX));
    verticalScrollBar()->setPageStep(visibleRows());
    verticalScrollBar()->setRange(0, std::max(0, rows - visibleRows()));

    const int textWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                          static_cast<int>(std::min<std::size_t>(store_.longestLineBytes(), 4096));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, textWidth + 8 - viewport()->width()));
}

void ReplyLog::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const int x = 4 - horizontalScrollBar()->value();
    const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
    const std::size_t end = std::min(store_.lineCount(), first + visibleRows() + 1);
    for (std::size_t row = first; row < end; ++row) {
        const QRect rect(0, static_cast<int>(row - first) * height, viewport()->width(), height);
        const bool selected = selection_ && row >= selection_->first() && row <= selection_->last();
        if (selected)
            painter.fillRect(rect, palette().highlight());
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        const std::string_view line = store_.line(row);
        painter.drawText(rect.adjusted(x, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    }
}

void ReplyLog::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

std::optional<std::size_t> ReplyLog::rowAt(int y) const
{
    if (store_.lineCount() == 0)
        return std::nullopt;
    const auto row =
        static_cast<std::size_t>(verticalScrollBar()->value() + std::max(0, y) / rowHeight());
    return std::min(row, store_.lineCount() - 1);
}

void ReplyLog::selectTo(std::size_t row, bool extend)
{
    const std::size_t anchor = extend && selection_ ? selection_->anchor : row;
    selection_ = Selection{anchor, row};
    viewport()->update();
}

void ReplyLog::mousePressEvent(QMouseEvent* event)
{
    if (const auto row = rowAt(event->position().toPoint().y()))
        selectTo(*row, event->modifiers() & Qt::ShiftModifier);
}

void ReplyLog::mouseMoveEvent(QMouseEvent* event)
{
    if (const auto row = rowAt(event->position().toPoint().y());
        row && event->buttons() & Qt::LeftButton)
        selectTo(*row, true);
}

void ReplyLog::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void ReplyLog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &ReplyLog::copy);
    copyAction->setEnabled(selection_.has_value());
    menu.addAction(tr("Select &All"), this, &ReplyLog::selectAll);
    menu.exec(event->globalPos());
}

QString ReplyLog::selectedText() const
{
    if (!selection_)
        return {};
    std::string text;
    for (std::size_t row = selection_->first(); row <= selection_->last(); ++row) {
        text.append(store_.line(row));
        text += '\n';
    }
    return QString::fromStdString(text);
}

void ReplyLog::selectAll()
{
    if (store_.lineCount() == 0)
        return;
    selection_ = Selection{0, store_.lineCount() - 1};
    viewport()->update();
}

void ReplyLog::copy() const
{
    if (selection_)
        QApplication::clipboard()->setText(selectedText());
}

} // namespace kxlt::ui
