// The fixture of the list extension's widget tests: a list of four columns
// and four items, with the mouse and key events a user sends and the
// pixel reads the drawing tests make.
#pragma once

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "tests/support/offscreen_app.h"
#include "tests/windows/list_extension/item_descs.h"
#include "windows/list_extension/list_ctrl_ex.h"
#include "windows/list_extension/list_model.h"

namespace list_fixture {

using namespace list_descs;

// A press and a release of one mouse button.
inline void PressAndRelease(QWidget* widget, QPoint at, Qt::MouseButton button) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), widget->mapToGlobal(QPointF(at)), button,
                    button, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      button, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
}

inline void Click(QWidget* widget, QPoint at) { PressAndRelease(widget, at, Qt::LeftButton); }

inline void MoveMouse(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &move);
}

// A right click on the header as the window system delivers it: the
// buttons, then the context-menu event.
inline void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QCoreApplication::sendEvent(widget, &press);
}

inline void RightClick(QWidget* widget, QPoint at) {
  PressAndRelease(widget, at, Qt::RightButton);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
  QCoreApplication::sendEvent(widget, &menu);
}

inline const char* const kNames[] = {"delta", "alpha", "charlie", "bravo"};

// Columns Name (fixed), Rank, Score, Notes; item i has parameter i.
class ListCtrlExTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.resize(420, 240);
    const char* const titles[] = {"Name", "Rank", "Score", "Notes"};
    for (int c = 0; c < 4; ++c) {
      ListColumnDesc desc;
      desc.mask = kColumnText | kColumnWidth | kColumnFormat;
      desc.text = titles[c];
      desc.width = 90;
      ASSERT_EQ(c, base().OnInsertColumn(c, desc));
      base().SetCanHide(c, c != 0);
    }
    for (int i = 0; i < 4; ++i) {
      ListItemDesc item;
      item.mask = kItemText | kItemParam;
      item.item = i;
      item.text = kNames[i];
      item.param = i;
      ASSERT_EQ(i, base().OnInsertItem(item));
      base().OnSetItemText(i, 1, std::to_string(i + 1));
      base().OnSetItemText(i, 2, std::to_string(100 * (4 - i)));
    }
    list.show();
    QCoreApplication::processEvents();
  }

  CListBase& base() { return list.Base(); }
  // The owner sorts on a header click: names by text, the other columns
  // by parameter, in the list's direction.
  void SortOnClick() {
    QObject::connect(&list, &CListCtrlEx::columnClick, [this](int column) {
      base().OnSortItems(
          [column](std::intptr_t a, std::intptr_t b, std::intptr_t ascending) {
            const int byText =
                column == 0 ? std::string(kNames[a]).compare(kNames[b]) : static_cast<int>(a - b);
            return ascending != 0 ? byText : -byText;
          },
          base().SortAscending() ? 1 : 0);
    });
  }
  std::vector<std::string> Column0() {
    std::vector<std::string> names;
    for (int row = 0; row < list.Model()->rowCount(); ++row) {
      names.push_back(list.Model()->index(row, 0).data().toString().toStdString());
    }
    return names;
  }
  QPoint HeaderCentre(int displayed) {
    QHeaderView* head = list.header();
    return {head->sectionViewportPosition(displayed) + head->sectionSize(displayed) / 2,
            head->height() / 2};
  }
  // The list's pixel at a viewport point.
  QRgb Pixel(const QImage& image, QPoint viewportPoint) {
    const QPoint at = list.viewport()->mapTo(&list, viewportPoint) * image.devicePixelRatio();
    return image.pixel(at) & 0xFFFFFF;
  }
  static QRgb Rgb(ListColour colour) { return ColorRefToQRgb(colour) & 0xFFFFFF; }
  // A point near the right edge of a cell, clear of its text.
  QPoint CellEdge(int row, int displayed) {
    const QRect cell = list.visualRect(list.Model()->index(row, displayed));
    return {cell.right() - 2, cell.center().y()};
  }
  // The longest horizontal run of pixels of colour `rgb` in a viewport
  // rectangle.
  int LongestRun(const QImage& image, const QRect& rect, QRgb rgb) {
    int longest = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      int run = 0;
      for (int x = rect.left(); x <= rect.right(); ++x) {
        run = Pixel(image, {x, y}) == rgb ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    }
    return longest;
  }

  QApplication* app_ = testing_support::OffscreenApplication();  // before any widget
  CListCtrlEx list;
};

}  // namespace list_fixture
