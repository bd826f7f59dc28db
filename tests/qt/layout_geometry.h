// A window on Qt widgets against its layout table: every control where its row puts it, and the
// fixed client size, at the window's DPI.
#pragma once

#include <QWidget>
#include <QtTest>

#include "frame/layout.h"

inline void compare_with_layout(const QWidget& window, const tovrel::WindowLayout& layout) {
  const int dpi = window.logicalDpiX();
  const auto pixels = [dpi](int twips) { return tovrel::twips_to_pixels(twips, dpi); };
  QCOMPARE(window.size(), QSize(pixels(layout.client_width), pixels(layout.client_height)));
  QCOMPARE(window.minimumSize(), window.maximumSize());
  for (const tovrel::ControlLayout& control : layout.controls) {
    const QString name = QString::fromUtf8(control.name.data(), control.name.size());
    const auto* widget = window.findChild<const QWidget*>(name);
    QVERIFY2(widget, qPrintable(name));
    const tovrel::Twips& b = control.bounds;
    QCOMPARE(widget->geometry(),
             QRect(pixels(b.left), pixels(b.top), pixels(b.width), pixels(b.height)));
  }
}
