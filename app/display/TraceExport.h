// Saving a chart's trace: the shown samples as comma-separated text with one header line
// and "." as the decimal point, or the chart as a PNG image, each written so that a failure
// leaves any earlier file untouched.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QWidget;

namespace tavrin::app {

struct TraceColumn {
    QString title;
    int significantDigits;
    std::vector<double> values;
};

// One header line of the titles, then one line per row; a row is written only where every
// column has a value.
QByteArray TraceCsv(const std::vector<TraceColumn>& columns);

// The file's content replaces the old one only once it has been written whole; false and a
// reason in `error` otherwise.
bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* error);
// The widget as it is drawn now, as a PNG image.
bool SaveWidgetImage(QWidget& widget, const QString& path, QString* error);

}  // namespace tavrin::app
