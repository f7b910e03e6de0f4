#include "lib/dialog/dlgparam.h"

#include <algorithm>

#include "lib/dialog/dlgglobals.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"

std::uint8_t defaultborderkind = 0, defaultborderstyle = 0, defaultbevelinner = 0,
             defaultbevelouter = 0;

void initdlgtable(dlgtable& t) {
  for (auto& p : t) {
    p = dlgparameter{};
    p.x = 1;
    p.y = 1;
    p.height = 1;
    p.charwidth = 10;
    p.id = 0;
    p.borderkind = defaultborderkind;
    p.borderstyle = defaultborderstyle;
    p.bevelinner = defaultbevelinner;
    p.bevelouter = defaultbevelouter;
  }
  t[0].height = 40;
  t[0].charwidth = 50;
}

void describeitem(int x, int y, int id, dlgparameter& p, std::uint32_t style, std::string_view text,
                  int height, int width, int kind) {
  if (kind != 0) p.kind = static_cast<std::uint16_t>(kind);
  if (x != 0) p.x = static_cast<std::uint16_t>(x);
  if (y != 0) p.y = static_cast<std::uint16_t>(y);
  if (id != 0) p.id = id;
  if (width != 0) {
    p.charwidth = static_cast<std::uint16_t>(width);
    p.width = p.charwidth;
  }
  if (height != 0) p.height = static_cast<std::uint16_t>(height);
  if (!text.empty()) p.caption = cut(text, 80);
  switch (p.kind) {
    case kindlabel: p.style = style; break;
    case kindbutton: case kindradio: case kindbutton8: p.style = style | WS_CHILD | WS_TABSTOP; break;
    case kindlist: case kindcombo: p.style = style | WS_CHILD | WS_VSCROLL | WS_TABSTOP; break;
    case kindedit: case kindedit9: case kindspinedit: p.style = style | WS_CHILD | WS_TABSTOP; break;
    case kindcheck: p.style = style | WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX; break;
    default: break;  // kinds above 10 (and 0) keep their style
  }
}

void describelabel(int x, int y, int n, std::string_view text, int width, dlgparameter& p) {
  describeitem(x, y, 200 + n, p, 0, text, 1, width, kindlabel);
}

void describeedit(int x, int y, int n, std::string_view text, int width, dlgparameter& p) {
  describeitem(x, y, 300 + n, p, 0, text, 1, width, kindedit);
}

void describememo(int x, int y, int n, std::string_view text, int height, int width, dlgparameter& p) {
  describeitem(x, y, 300 + n, p, ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | ES_KEEPSELECTION, text,
               height, width, kindedit);
}

void describecheckbox(int x, int y, int n, std::string_view text, int width, dlgparameter& p) {
  describeitem(x, y, 300 + n, p, 0, text, 1, width, kindcheck);
}

void describeradio(int x, int y, int n, std::string_view text, int width, dlgparameter& p) {
  describeitem(x, y, 300 + n, p, 0, text, 1, width, kindradio);
}

void describecombo(int x, int y, int n, dlgparameter& p, std::uint32_t style, int height, int width) {
  describeitem(x, y, 300 + n, p, style, "", height, width, kindcombo);
}

void describedroplist(int x, int y, int n, dlgparameter& p, int height, int width) {
  describecombo(x, y, n, p, 3, height, width);
}

void describelist(int x, int y, int n, dlgparameter& p, std::uint32_t style, int height, int width) {
  describeitem(x, y, 300 + n, p, style, "", height, width, kindlist);
}

void describebutton(int cx, int y, int id, std::string_view text, dlgparameter& p) {
  std::string t = cut(text, 40);
  int width = 10;
  if (texttranslation && translationhook) {
    t = cut(translationhook(t), 40);
    width = std::clamp(static_cast<int>(t.size()), 10, 25);
  }
  int x = cx - width / 2;
  describeitem(x > 0 ? x : 0, y, id, p, 0, t, 2, width, kindbutton);
  if (x <= 0) p.x = 0;
}

void describeok(int x, int y, dlgparameter& p) { describebutton(x, y, 1, "OK", p); }
void describecancel(int x, int y, dlgparameter& p) { describebutton(x, y, 2, "Abbruch", p); }
void describehelp(int x, int y, dlgparameter& p) { describebutton(x, y, 12, "Hilfe", p); }

void describebuttonrow(int width, int y, int first, std::uint16_t& itemcount, dlgtable& t) {
  const int left = 0;
  if (first < 1 || first + 1 > kMaxDlgItems) return;
  if (thirdbutton1 && thirdbutton2 && first + 2 <= kMaxDlgItems) {
    int q = width / 4;
    describeok(left + q, y, t[first]);
    describecancel(left + 2 * q, y, t[first + 1]);
    describehelp(left + 3 * q, y, t[first + 2]);
    ++itemcount;
  } else {
    int third = width / 3;
    describeok(left + third, y, t[first]);
    describecancel(left + 2 * third, y, t[first + 1]);
  }
  thirdbutton2 = false;
}

void describeheader(int width, int height, std::string_view title, dlgtable& t) {
  t[0].charwidth = static_cast<std::uint16_t>(width);
  t[0].width = t[0].charwidth;
  t[0].height = static_cast<std::uint16_t>(height);
  t[0].caption = cut(title, 80);
}

void describeplace(int x, int y, int width, dlgparameter& p, std::string_view text, int height) {
  p.x = static_cast<std::uint16_t>(x);
  p.y = static_cast<std::uint16_t>(y);
  p.charwidth = static_cast<std::uint16_t>(width);
  p.width = p.charwidth;
  p.height = static_cast<std::uint16_t>(height);
  p.caption = cut(text, 80);
}

void sethint(dlgparameter& p, std::string_view text, std::string_view hint) {
  p.caption = cut(text, 80);
  p.hint = cut(hint, 255);
}

void copyhint(const dlgparameter& from, dlgparameter& to) { to.hint = from.hint; }
