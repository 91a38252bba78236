#pragma once

#include <QLabel>
#include <QString>

namespace tolvenmark {

// A link label: blue and underlined with the hand cursor, red while hovered
// or pressed, navy once followed. A release over itself after a press opens
// its URL (its caption when it has none) with the desktop's opener.
class TUrlLabel : public QLabel {
public:
    TUrlLabel(const QString& caption, const QString& url, QWidget* parent = nullptr);

    const QString& Url() const { return url_; }
    bool Followed() const { return followed_; }
    QColor CurrentColor() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Follow();
    void Restyle();

    QString url_;
    bool hovered_ = false;
    bool pressed_ = false;
    bool followed_ = false;
};

}  // namespace tolvenmark
