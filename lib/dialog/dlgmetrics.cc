#include "lib/dialog/dlgmetrics.h"

#include <cmath>
#include <cstdlib>

#include <QFont>
#include <QFontInfo>

#include "lib/dialog/dlgglobals.h"

std::uint16_t lastmetricscw = 0, lastmetricslh = 0;

dlgmetrics computemetrics(int fontheight, int extraspacing) {
  dlgmetrics m;
  int base = std::abs(fontheight);
  if (base > 0) {
    // nearbyint rounds ties to even in the default rounding mode.
    m.cw = static_cast<std::uint16_t>(std::nearbyint(0.7 * base));
    m.lh = static_cast<std::uint16_t>(std::nearbyint(1.5 * base));
  } else {
    m.cw = 8;
    m.lh = 8;
  }
  m.lh = static_cast<std::uint16_t>(m.lh + extraspacing);
  m.rowh = static_cast<std::uint16_t>(1 + m.lh / 2);
  return m;
}

int dialogfontheight() {
  const QFont* f = dialogfont();
  const QFont font = f ? *f : defaultdialogfont();
  if (font.pixelSize() > 0) return font.pixelSize();
  return QFontInfo(font).pixelSize();
}

void setmetrics(int extraspacing, int /*unit*/, std::uint16_t& cw, std::uint16_t& rowh, std::uint16_t& lh) {
  dlgmetrics m = computemetrics(dialogfontheight(), extraspacing);
  cw = m.cw;
  rowh = m.rowh;
  lh = m.lh;
  lastmetricscw = m.cw;
  lastmetricslh = m.lh;
}
