// Trace export of the chart windows.
#include "TraceExport.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>
#include <algorithm>

namespace tavrin::app {

QByteArray TraceCsv(const std::vector<TraceColumn>& columns) {
    QByteArray out;
    size_t rows = columns.empty() ? 0 : columns.front().values.size();
    for (size_t c = 0; c < columns.size(); ++c) {
        if (c) out += ',';
        out += columns[c].title.toUtf8();
        rows = std::min(rows, columns[c].values.size());
    }
    out += '\n';
    out.reserve(out.size() + static_cast<qsizetype>(rows * columns.size() * 12));
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c) out += ',';
            // QByteArray::number never uses the user's locale.
            out += QByteArray::number(columns[c].values[r], 'g', columns[c].significantDigits);
        }
        out += '\n';
    }
    return out;
}

bool WriteFileAtomically(const QString& path, const QByteArray& content, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    if (file.write(content) != content.size()) {
        if (error) *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

bool SaveWidgetImage(QWidget& widget, const QString& path, QString* error) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!widget.grab().toImage().save(&buffer, "PNG")) {
        if (error) *error = "the image could not be encoded";
        return false;
    }
    return WriteFileAtomically(path, png, error);
}

}  // namespace tavrin::app
