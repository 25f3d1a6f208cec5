#include "engine/chartix.h"

namespace plotvane {

namespace {

TFont DefaultFont(bool bold) {
  TFont font;  // "Arial", 8 points, black
  font.Name = u"Arial";
  font.SetSize(8);
  font.Color = 0;
  font.Style = bold ? fsBold : 0;
  return font;
}

}  // namespace

TChartix::TChartix() : FBitmap(std::make_unique<TBitmap>()) {
  XAxisValues.SetSorted(true);
  YAxisValues.SetSorted(true);
  FLabelFont = DefaultFont(false);
  FLegendFont = DefaultFont(false);
  FTitleFont = DefaultFont(true);
  FAxisTextFont = DefaultFont(false);
  FLineGraphFont = DefaultFont(false);
  FTextFont = DefaultFont(false);
  FStackedTextFont = DefaultFont(false);
}

TChartix::~TChartix() = default;

}  // namespace plotvane
