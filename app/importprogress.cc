#include "app/importprogress.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>
#include <thread>

#include "lib/dialog/dlgglobals.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "lib/window/zowindow.h"
#include "platform/qt/qttext.h"

namespace {

// Reports reach the dialog at most this often.
constexpr std::chrono::milliseconds kReportEvery{100};

bool running = false;

class RunningGuard {
 public:
  RunningGuard() { running = true; }
  ~RunningGuard() { running = false; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;
};

// The folder the run writes to, for the waiting line.
std::string foldertext(const std::string& dir) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(dir, ec);
  if (ec) return pathtext(dir);
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return pathtext(s);
}

}  // namespace

std::string progressline(const prepareprogress& p, double mbs) {
  std::string line;
  if (p.filesize > 0) {
    std::uint64_t percent = p.rawbytes >= p.filesize ? 100 : p.rawbytes * 100 / p.filesize;
    line = std::to_string(percent) + std::string(" % · "_w);
  }
  line += groupdigits(p.rows) + " Zeilen";
  if (mbs >= 0)
    line += std::string(" · "_w) + groupdigits(static_cast<std::uint64_t>(mbs + 0.5)) + " MB/s";
  return line;
}

TimportProgressDlg::TimportProgressDlg(QWidget* owner, const std::string& title, const std::string& head)
    : QDialog(owner) {
  setObjectName("importprogress");
  setWindowTitle(toqstring(title));
  if (const QFont* f = dialogfont()) setFont(*f);
  head_ = new QLabel(toqstring(head), this);
  head_->setWordWrap(true);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);  // the percent stands in the line below
  status_ = new QLabel(toqstring(std::string("Beginnt …"_w)), this);
  status_->setObjectName("importstatus");
  status_->setWordWrap(true);
  cancelbutton_ = new QPushButton(toqstring("&Abbrechen"), this);
  cancelbutton_->setObjectName("importcancel");
  cancelbutton_->setAutoDefault(false);
  connect(cancelbutton_, &QPushButton::clicked, this, [this] { requestcancel(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancelbutton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(head_);
  layout->addWidget(bar_);
  layout->addWidget(status_);
  layout->addLayout(buttons);
  // Room for a long folder name in the waiting line without a jumping size.
  const int width = fontMetrics().averageCharWidth() * 60;
  head_->setMinimumWidth(width);
  status_->setMinimumHeight(fontMetrics().lineSpacing() * 2);
  setSizeGripEnabled(false);
}

void TimportProgressDlg::showprogress(const prepareprogress& p, double mbs) {
  if (cancel_->load()) return;
  if (p.filesize > 0) {
    bar_->setRange(0, 100);
    bar_->setValue(static_cast<int>(p.rawbytes >= p.filesize ? 100 : p.rawbytes * 100 / p.filesize));
  } else {
    bar_->setRange(0, 0);  // a pipe: no end known
  }
  status_->setText(toqstring(progressline(p, mbs)));
}

void TimportProgressDlg::showwaiting(const std::string& folder) {
  if (cancel_->load()) return;
  status_->setText(toqstring(std::string("Wartet auf eine andere Änderung in "_w) + folder + std::string(" …"_w)));
}

void TimportProgressDlg::finish() { finished_ = true; }

std::string TimportProgressDlg::statustext() const { return fromqstring(status_->text()); }

void TimportProgressDlg::requestcancel() {
  if (finished_ || cancel_->load()) return;
  cancel_->store(true);
  cancelbutton_->setEnabled(false);
  status_->setText(toqstring(std::string("Wird abgebrochen …"_w)));
}

void TimportProgressDlg::reject() {
  if (finished_) {
    QDialog::reject();
    return;
  }
  requestcancel();
}

void TimportProgressDlg::closeEvent(QCloseEvent* event) {
  if (finished_) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
  requestcancel();
}

bool importrunning() { return running; }

importoutcome runimport(QWidget* owner, importkind kind, const std::string& path, const std::string& dir) {
  RunningGuard guard;
  importoutcome out;
  const std::string name = pathtext(std::filesystem::path(path).filename().string());
  const bool diff = kind == importkind::dailydiff;
  TimportProgressDlg dlg(owner, diff ? std::string("Tages-Diff einspielen") : std::string("Export einlesen"),
                         (diff ? std::string("Tages-Diff wird eingespielt: ") : std::string("Export wird eingelesen: ")) +
                             name);
  dlg.setWindowModality(Qt::ApplicationModal);
  std::shared_ptr<std::atomic<bool>> cancel = dlg.cancelflag();
  const std::string folder = foldertext(dir);
  QEventLoop loop;
  TimportProgressDlg* view = &dlg;
  const auto start = std::chrono::steady_clock::now();

  // Everything the worker posts goes to the dialog, which outlives it: the
  // thread is joined below before the dialog goes.
  // The rate counts from the first report, or from the start when no
  // other run was waited for (the wait is no reading).  The worker's own.
  struct ratestate {
    std::chrono::steady_clock::time_point first, last;
    std::uint64_t firstbytes = 0;
    bool waited = false, reported = false;
  };
  auto rate = std::make_shared<ratestate>();
  auto waiting = [view, folder, rate] {
    rate->waited = true;
    QMetaObject::invokeMethod(view, [view, folder] { view->showwaiting(folder); }, Qt::QueuedConnection);
  };
  auto cancelled = [cancel] { return cancel->load(); };
  auto progress = [view, start, rate](const prepareprogress& p) {
    auto now = std::chrono::steady_clock::now();
    double mbs = -1;
    if (!rate->reported) {
      rate->reported = true;
      rate->first = now;
      rate->firstbytes = p.rawbytes;
      double seconds = std::chrono::duration<double>(now - start).count();
      if (!rate->waited && seconds > 0) mbs = static_cast<double>(p.rawbytes) / 1e6 / seconds;
    } else {
      if (now - rate->last < kReportEvery) return;
      double seconds = std::chrono::duration<double>(now - rate->first).count();
      if (seconds > 0) mbs = static_cast<double>(p.rawbytes - rate->firstbytes) / 1e6 / seconds;
    }
    rate->last = now;
    QMetaObject::invokeMethod(view, [view, p, mbs] { view->showprogress(p, mbs); }, Qt::QueuedConnection);
  };

  std::atomic<bool> done{false};
  std::thread worker([&out, &loop, &done, view, kind, path, dir, waiting, cancelled, progress] {
    try {
      if (kind == importkind::wholeexport) {
        prepareoptions o;
        o.csvpath = path;
        o.dir = dir;
        o.progress = progress;
        o.cancelled = cancelled;
        o.waiting = waiting;
        prepareresult r = preparedatabase(o);
        out.ok = r.ok;
        out.error = r.error;
        out.notes = r.notes;
        out.prepared = r.counts;
      } else {
        updateoptions o;
        o.diffpath = path;
        o.dir = dir;
        o.progress = progress;
        o.cancelled = cancelled;
        o.waiting = waiting;
        updateresult r = updatedatabase(o);
        out.ok = r.ok;
        out.nodatabase = r.nodatabase;
        out.error = r.error;
        out.notes = r.notes;
        out.updated = r.counts;
      }
    } catch (const std::exception& e) {
      out.ok = false;
      out.error = e.what();
    } catch (...) {
      out.ok = false;
      out.error = "unbekannter Fehler";
    }
    done.store(true);
    QMetaObject::invokeMethod(view, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });

  busycursor(owner);
  dlg.show();
  loop.exec();
  // The loop also ends when the program is told to quit: the worker is
  // stopped and waited for, whatever it was doing.
  if (!done.load()) cancel->store(true);
  worker.join();
  normalcursor(owner);
  dlg.finish();
  dlg.hide();
  out.cancelled = !out.ok && cancel->load();
  return out;
}
