// The RF output level against the coupling loss A, one rule for the PP, FP and generator
// pages: the tester's level range is -100..-40 dBm at its connector, so the level the user
// types (at the device) may go A lower, and the track bar 0..60 spans that range.
#pragma once

#include <QString>

namespace tavrin::app {

// Which default the range message names: the PP page names -40 - floor(A); the FP and
// generator pages name -40 - A as entered (the field takes -40 - floor(A) on every page).
enum class LevelMessage { WholeLoss, LossAsEntered };

struct LevelEntry {
    QString text;              // the field afterwards
    double level = 0;          // the level the field now holds
    QString errorMessage;      // "Error. Setting default (...)": shown in any case
    QString rangeMessage;      // "Range error. ...": shown only while the page is visible
    int trackBarPosition = 0;  // 0..60
};

LevelEntry CheckRFLevel(const QString& text, double couplingLoss, LevelMessage style);

inline constexpr int kTrackBarMaximum = 60;
// The level a track bar position stands for (the position clamped to 0..60).
double TrackBarLevel(int position, double couplingLoss);

// The range check of a coupling-loss change: is the page's last level still allowed?
bool LevelWithinLossRange(double level, double couplingLoss);

}  // namespace tavrin::app
