// The stepper control.
#include "UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tavrin::app {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setArrowType(b == m_up ? Qt::UpArrow : Qt::DownArrow);
        b->setFixedSize(16, 10);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    setFixedSize(16, 20);
}

void UpDown::setRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_position = std::clamp(m_position, m_min, m_max);
}

void UpDown::setPosition(int position) {
    m_position = std::clamp(position, m_min, m_max);
}

void UpDown::step(int direction) {
    int next = m_position + direction * m_increment;
    if (next > m_max) next = m_wrap ? m_min : m_max;
    if (next < m_min) next = m_wrap ? m_max : m_min;
    m_position = next;
    Q_EMIT clicked(direction);
}

}  // namespace tavrin::app
