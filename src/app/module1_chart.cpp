// The development chart's procedures: series selection, chart and statistics panel.
#include "app/module1.h"

void Module1::FillSeriesItems() {
  DrawDevelopment();
}
void Module1::DrawDevelopment() {}
