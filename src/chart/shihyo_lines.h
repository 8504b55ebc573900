// The paint's share of the overlays and indicators: each operation computes one overlay or
// indicator kind from the chart's display series with the periods of the settings, and
// puts its records at the end of the line list.
#pragma once

// The Ichimoku lines replace the whole list (the moving averages included).
void ApplyIchimokuLines();
// Bollinger bands around record 0 (the first moving average) and the parabolic dots.
void AppendBollingerLines();
void AppendParabolicLines();

// The lower-pane indicators, one per kind (ShihyoTable).
void AppendPsychoLines();
void AppendRciLines();
void AppendRsiLines();
void AppendDmiLines();
void AppendVrLines();
void AppendStocLines();
void AppendKairiLines();
void AppendMacdLines();
