#include "app/backgroundrun.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <thread>

#include "lib/window/zowindow.h"

bool runinbackground(QWidget* window, std::function<void()> work, std::chrono::milliseconds limit) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread worker([work = std::move(work), done] {
    work();
    done->store(true);
  });
  busycursor(window);
  QEventLoop loop;
  // The worker's end is noticed by polling: nothing is posted from the
  // thread, so nothing can reach this loop after it is gone.
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done->load()) loop.quit();
  });
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  poll.start();
  deadline.start(limit);
  if (!done->load()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  normalcursor(window);
  if (done->load()) {
    worker.join();
    return true;
  }
  worker.detach();
  return false;
}
