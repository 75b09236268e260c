// The entry checks of the test pages and the bottom panel, without widgets: each takes the
// field's text and decides what the field shows afterwards, which message (if any) is shown,
// and whether the value is taken or the last accepted one kept.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavrin::app {

// Numbers are read strictly ("." as decimal point, no blanks, no hexadecimal), so every text
// that passes a check can be appended to a command line as it stands.
std::optional<int> ParseInteger(const QString& text);
std::optional<double> ParseNumber(const QString& text);
// The shortest decimal form of a number ("-40", "-50.5").
QString FormatNumber(double value);

struct FieldCheck {
    QString text;          // what the field shows afterwards
    QStringList messages;  // error boxes, in the order they are shown
    bool kept = false;     // refused: the last accepted value stays and nothing is sent
    int value = 0;         // the accepted value of an integer field
};

// RFPI: exactly 10 hexadecimal digits ("Error." when the text is no hexadecimal number, the
// length message when it has another length); else `fallback` ("0000000010" on the PP page,
// "0000000000" on the FP page).
FieldCheck CheckRFPI(const QString& text, const QString& fallback);
// The RFPI command: the prefix and the text in double quotes.
QString RfpiCommand(const char* prefix, const QString& text);

// The BER frame count field: 1..100000 (the label says 65535; stored setups use more).
inline constexpr int kBerCountMaximum = 100000;
FieldCheck CheckBERCount(const QString& text, int lastCount);
// Reset Count: the same range, "100" replacing a bad text.
FieldCheck CheckResetCount(const QString& text);

// The averaging field, 1..200 against the link window's current length N. An empty field
// (no setup loaded yet) shows N again without a message, as the coupling loss and the levels
// fill an empty field silently.
inline constexpr int kAveragingMaximum = 200;
FieldCheck CheckAveraging(const QString& text, int current);

// The coupling loss, 0..100 dB; an empty field counts as "0".
FieldCheck CheckCouplingLoss(const QString& text);
// The coupling loss's value as the other rules read it: 0 for a text that is not a number.
double CouplingLossValue(const QString& text);

// The FP antenna, 0..7.
FieldCheck CheckAntenna(const QString& text);

// The generator carrier in Offset mode, 0..highest, "5" replacing a bad text.
FieldCheck CheckGeneratorCarrier(const QString& text, int highestCarrier);

// A carrier field in Offset mode and the carrier offset: a text that is not a number (or, for
// the offset, lies outside -22..3) silently becomes "0".
FieldCheck CheckOffsetCarrier(const QString& text);
inline constexpr int kCarrierOffsetTypedMinimum = -22;  // the stepper stops at -21
inline constexpr int kCarrierOffsetMaximum = 3;
FieldCheck CheckCarrierOffset(const QString& text);

}  // namespace tavrin::app
