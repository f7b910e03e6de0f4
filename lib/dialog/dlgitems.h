// Item access: reading and writing the controls of a set-up dialog by the
// dialog's container and a control id.
//
// Every control that a dialog creates gets a control id of its own,
// unique in the process (property "ctlid"); after set-up a record's `id`
// holds it.  A control id that names no control inside the container makes
// the setters do nothing and the getters return "" or -1.  Texts are
// Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

// Gives w the next free control id and returns it.
std::int32_t assigncontrolid(QWidget* w);
// The control id of w, 0 when it has none.
std::int32_t controlid(const QWidget* w);
// The control with that control id inside dialoghandle, or nullptr.
QWidget* getitemcontrol(QWidget* dialoghandle, std::int32_t id);

void setitemtext(QWidget* dialoghandle, std::int32_t id, std::string_view text);
void setwindowtext(QWidget* window, std::string_view text);
// Sets the text, then lets at most limit characters be typed.
void setitemtextlimited(QWidget* dialoghandle, std::int32_t id, std::string_view text, int limit);
// "$" + hexlongshort(value), limited to 15 characters.
void setitemhex(QWidget* dialoghandle, std::int32_t id, std::uint32_t value);
// Appends a line to a combo box or list box (in order when it sorts).
void additemtext(QWidget* list, std::string_view text);
// Selects the line at index (-1 or beyond the end: no line).
void setitemindex(QWidget* list, int index);
// The selected line's index, -1 when none.
int getitemindex(QWidget* list);

// Reads at most maxchars characters of the control's text, cut to capacity.
void getitemtext(int maxchars, QWidget* dialoghandle, std::int32_t id, std::string& text,
                 std::size_t capacity);
// getitemtext, then blanks removed at both ends.
void getitemtexttrimmed(int maxchars, QWidget* dialoghandle, std::int32_t id, std::string& text,
                        std::size_t capacity);

// Check boxes and radio buttons.
void setitemchecked(QWidget* dialoghandle, std::int32_t id, bool checked);
bool getitemchecked(QWidget* dialoghandle, std::int32_t id);
