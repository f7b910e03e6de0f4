#include "lib/window/zotreeview.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "lib/window/qtconvert.h"

namespace {

std::string countinglabel() {
  static unsigned counter = 0;
  return std::to_string(++counter);
}

void numbersof(const QTreeWidgetItem* item, std::uint16_t& first, std::uint16_t& second) {
  std::uint32_t d = tzotreeview::nodedata(item);
  first = static_cast<std::uint16_t>(d >> 16);
  second = static_cast<std::uint16_t>(d & 0xFFFF);
}

}  // namespace

tzotreeview::tzotreeview(QWidget* parent) : QTreeWidget(parent), labelcallback(countinglabel) {
  setObjectName("treeview");
  setHeaderHidden(true);
  setColumnCount(1);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);

  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    bool handled = false;
    if (clickcallback) {
      std::uint16_t a = 0, b = 0;
      numbersof(item, a, b);
      clickcallback(a, b, handled);
    }
    if (!handled) toggle ^= 1;
  });
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
            if (!changecallback || item == nullptr) return;
            std::uint16_t a = 0, b = 0;
            numbersof(item, a, b);
            changecallback(a, b);
          });
  connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
    if (!doubleclickcallback) return;
    std::uint16_t a = 0, b = 0;
    numbersof(item, a, b);
    doubleclickcallback(a, b);
  });
}

QTreeWidgetItem* tzotreeview::addnode(QTreeWidgetItem* parent, const std::string& caption,
                                      std::uint16_t first, std::uint16_t second) {
  auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
  item->setText(0, toqstring(caption));
  std::uint32_t d = (static_cast<std::uint32_t>(first) << 16) | second;
  item->setData(0, Qt::UserRole, QVariant::fromValue<quint32>(d));
  return item;
}

std::uint32_t tzotreeview::nodedata(const QTreeWidgetItem* item) {
  if (item == nullptr) return 0;
  return item->data(0, Qt::UserRole).value<quint32>();
}

tzotreeview* createtreeview(QWidget* parent, bool pictureswitch, TreeClick click,
                            TreeChange change, TreeChange doubleclick,
                            const std::vector<QIcon>& pictures,
                            const std::vector<int>& picturenumbers, const FontSpec* font) {
  auto* tree = new tzotreeview(parent);
  if (font != nullptr) tree->setFont(qfontof(*font));
  if (pictureswitch) {
    // The image list: the pictures picked by their numbers, in order.
    QList<QVariant> icons;
    for (int n : picturenumbers)
      if (n >= 1 && static_cast<std::size_t>(n) <= pictures.size())
        icons.append(QVariant::fromValue(pictures[static_cast<std::size_t>(n - 1)]));
    tree->setProperty("imagelist", icons);
  }
  tree->setAcceptDrops(dragaccept != 0);
  tree->clickcallback = std::move(click);
  tree->changecallback = std::move(change);
  tree->doubleclickcallback = std::move(doubleclick);
  if (parent != nullptr) {
    if (parent->layout() == nullptr) {
      auto* layout = new QVBoxLayout(parent);
      layout->setContentsMargins(0, 0, 0, 0);
    }
    parent->layout()->addWidget(tree);
  }
  return tree;
}

void treenodenumbers(const tzotreeview* tree, std::uint16_t& first, std::uint16_t& second) {
  first = 0;
  second = 0;
  if (tree == nullptr) return;
  QList<QTreeWidgetItem*> selected = tree->selectedItems();
  if (selected.isEmpty()) return;
  numbersof(selected.first(), first, second);
}
