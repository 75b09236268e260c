// A stepper: two small arrow buttons beside an entry field, with minimum, maximum, increment
// and wrap-around; the field is the caller's own.
#pragma once

#include <QWidget>

class QToolButton;

namespace tavrin::app {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    void setMinimum(int minimum) { setRange(minimum, m_max); }
    void setMaximum(int maximum) { setRange(m_min, maximum); }
    void setIncrement(int increment) { m_increment = increment; }
    void setWrap(bool wrap) { m_wrap = wrap; }
    void setPosition(int position);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int position() const { return m_position; }

    // One step up (+1) or down (-1), wrapping when asked to; emits clicked.
    void step(int direction);

Q_SIGNALS:
    void clicked(int direction);

private:
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min = 0;
    int m_max = 100;
    int m_increment = 1;
    int m_position = 0;
    bool m_wrap = false;
};

}  // namespace tavrin::app
