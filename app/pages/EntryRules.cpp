// The entry checks of the test pages and the bottom panel.
#include "EntryRules.h"

#include <QRegularExpression>
#include <cmath>

namespace tavrin::app {
namespace {

FieldCheck Accept(const QString& text, int value = 0) {
    FieldCheck c;
    c.text = text;
    c.value = value;
    return c;
}

FieldCheck Replace(const QString& text, int value, const QString& message) {
    FieldCheck c = Accept(text, value);
    if (!message.isEmpty()) c.messages << message;
    return c;
}

FieldCheck Keep(int last, const QString& message) {
    FieldCheck c = Replace(QString::number(last), last, message);
    c.kept = true;
    return c;
}

// An integer field with a range and one default: "Error." when not a number, "Range error."
// when outside.
FieldCheck CheckRangedInteger(const QString& text, int minimum, int maximum, int fallback,
                              const QString& rangeSuffix = {}) {
    const std::optional<int> v = ParseInteger(text);
    const QString def = QString::number(fallback);
    if (!v) return Replace(def, fallback, "Error. Setting default (" + def + ")");
    if (*v < minimum || *v > maximum)
        return Replace(def, fallback, "Range error. Setting default (" + def + ")" + rangeSuffix);
    return Accept(text, *v);
}

}  // namespace

std::optional<int> ParseInteger(const QString& text) {
    static const QRegularExpression pattern("^[+-]?[0-9]+$");
    if (!pattern.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok) return std::nullopt;
    return v;
}

std::optional<double> ParseNumber(const QString& text) {
    static const QRegularExpression pattern(
        "^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$");
    if (!pattern.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString FormatNumber(double value) {
    if (value == 0.0) return "0";  // no "-0"
    return QString::number(value, 'g', 15);
}

FieldCheck CheckRFPI(const QString& text, const QString& fallback) {
    // First the text must read as a hexadecimal number, then it must have ten digits: a
    // short "12345" gets the length message, a "00000G0010" the plain one.
    static const QRegularExpression hex("^[0-9A-Fa-f]+$");
    if (!hex.match(text).hasMatch())
        return Replace(fallback, 0, "Error. Setting default (" + fallback + ")");
    if (text.size() != 10)
        return Replace(fallback, 0,
                       "RFPI must consist of 10 hex numbers. Setting default (" + fallback + ")");
    return Accept(text);
}

QString RfpiCommand(const char* prefix, const QString& text) {
    return QString(prefix) + " \"" + text + "\"";
}

FieldCheck CheckBERCount(const QString& text, int lastCount) {
    const std::optional<int> v = ParseInteger(text);
    if (!v) return Keep(lastCount, "Error. Value not set.");
    if (*v < 1 || *v > kBerCountMaximum) return Keep(lastCount, "Range error. Value not set.");
    return Accept(text, *v);
}

FieldCheck CheckResetCount(const QString& text) {
    return CheckRangedInteger(text, 1, kBerCountMaximum, 100);
}

FieldCheck CheckAveraging(const QString& text, int current) {
    if (text.isEmpty()) return Keep(current, {});
    const std::optional<int> v = ParseInteger(text);
    if (!v) return Keep(current, "Error. Value not set.");
    if (*v < 1 || *v > kAveragingMaximum)
        return Keep(current, "Range error. Value not set.\n\nRange [1..200].");
    return Accept(text, *v);
}

FieldCheck CheckCouplingLoss(const QString& text) {
    if (text.isEmpty()) return Accept("0");
    const std::optional<double> v = ParseNumber(text);
    if (!v) return Replace("0", 0, "Error. Setting default (0)");
    if (*v < 0 || *v > 100)
        return Replace("0", 0, "Range error. Setting default (0)\n\nRange [0..100].");
    return Accept(text, static_cast<int>(*v));
}

double CouplingLossValue(const QString& text) {
    return ParseNumber(text).value_or(0.0);
}

FieldCheck CheckAntenna(const QString& text) {
    return CheckRangedInteger(text, 0, 7, 0);
}

FieldCheck CheckGeneratorCarrier(const QString& text, int highestCarrier) {
    return CheckRangedInteger(text, 0, highestCarrier, 5);
}

FieldCheck CheckOffsetCarrier(const QString& text) {
    const std::optional<int> v = ParseInteger(text);
    if (!v) return Accept("0", 0);
    return Accept(QString::number(*v), *v);
}

FieldCheck CheckCarrierOffset(const QString& text) {
    const std::optional<int> v = ParseInteger(text);
    if (!v || *v < kCarrierOffsetTypedMinimum || *v > kCarrierOffsetMaximum) return Accept("0", 0);
    return Accept(QString::number(*v), *v);
}

}  // namespace tavrin::app
