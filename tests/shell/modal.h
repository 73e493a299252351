// Acting on modal dialogs from a test: exec() blocks in a nested event loop, so the
// test arms a timer first that finds the dialog once it is up and acts on it.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace kestrum::test {

/**
 * Runs act on the next modal widget of type T. When none shows within timeoutMs, the
 * modal widget that is up (if any) is closed, so that a test fails instead of hanging.
 */
template <typename T>
void WhenModal(std::function<void(T*)> act, int timeoutMs = 5000) {
  auto* timer = new QTimer(qApp);
  auto elapsed = std::make_shared<QElapsedTimer>();
  elapsed->start();
  QObject::connect(timer, &QTimer::timeout, [=] {
    if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(widget);
    } else if (elapsed->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }
  });
  timer->start(10);
}

}  // namespace kestrum::test
