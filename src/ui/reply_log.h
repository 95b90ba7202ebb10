#pragma once

#include "ui/line_store.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <optional>
#include <string_view>

namespace kxlt::ui {

// The log of received lines. It only grows in normal use, so it keeps its text compactly and
// paints just the rows in view; setting the text and appending both raise changed() before they
// return. Lines can be selected with the mouse or keyboard and copied as text.
class ReplyLog final : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ReplyLog(QWidget* parent = nullptr);

    QString text() const;
    // Raises changed() before it returns.
    void appendText(std::string_view utf8);

    // Brings the end of the text into view (done at the next repaint).
    void moveCaretToEnd();

    std::size_t lineCount() const { return store_.lineCount(); }
    const LineStore& lines() const { return store_; }

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Selection {
        std::size_t anchor;
        std::size_t current;
        std::size_t first() const { return std::min(anchor, current); }
        std::size_t last() const { return std::max(anchor, current); }
    };

    QString selectedText() const;
    void selectAll();
    void copy() const;
    void textChanged();
    void refresh();
    void updateScrollBars();
    int rowHeight() const;
    int visibleRows() const;
    std::optional<std::size_t> rowAt(int y) const;
    void selectTo(std::size_t row, bool extend);

    LineStore store_;
    std::optional<Selection> selection_;
    bool followEnd_ = false;
    QTimer refreshTimer_;
};

} // namespace kxlt::ui
