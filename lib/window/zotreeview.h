// The tree view of the window library: a read-only QTreeWidget whose
// nodes each carry two 16-bit numbers (packed into one 32-bit value, the
// first number in the high half) handed to the owner's callbacks.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/support/fontdesc.h"
#include "lib/window/zoglobals.h"

using TreeClick = std::function<void(std::uint16_t first, std::uint16_t second, bool& handled)>;
using TreeChange = std::function<void(std::uint16_t first, std::uint16_t second)>;
using TreeLabel = std::function<std::string()>;

class tzotreeview : public QTreeWidget {
  Q_OBJECT
 public:
  explicit tzotreeview(QWidget* parent = nullptr);

  // Flips between 0 and 1 on every click the click callback leaves
  // unhandled.
  std::uint8_t toggle = 0;
  TreeClick clickcallback;
  TreeChange changecallback;
  TreeChange doubleclickcallback;
  // Stored only; the default turns a running counter into decimal text.
  TreeLabel labelcallback;
  std::int32_t value = 0;

  // Adds a node below parent (top level when null) with the caption
  // (Windows-1252) and its two numbers.
  QTreeWidgetItem* addnode(QTreeWidgetItem* parent, const std::string& caption,
                           std::uint16_t first, std::uint16_t second);
  static std::uint32_t nodedata(const QTreeWidgetItem* item);
};

// A tzotreeview filling parent, read-only, selection always shown; font
// when given; icons from pictures selected by picturenumbers (1-based
// into pictures) when the picture switch is on.  Null callbacks stay
// unconnected.
tzotreeview* createtreeview(QWidget* parent, bool pictureswitch, TreeClick click,
                            TreeChange change, TreeChange doubleclick,
                            const std::vector<QIcon>& pictures,
                            const std::vector<int>& picturenumbers, const FontSpec* font);

// The selected node's two numbers; 0 and 0 when none is selected.
void treenodenumbers(const tzotreeview* tree, std::uint16_t& first, std::uint16_t& second);
