// The import of an OpenCelliD export or daily diff into the working
// folder, run from the window: the conversion (preparedatabase) or the
// update (updatedatabase) works on a thread of its own while a modal
// progress dialog shows how far it got (percent of the input, rows, MB/s)
// and offers "Abbrechen"; the window keeps painting under the busy
// pointer.  The worker talks to the dialog only through queued calls; the
// dialog stops it through one atomic flag that the conversion polls.
// The thread always ends before runimport returns, also when the event
// loop is told to quit meanwhile: nothing writes after the window is gone.
#pragma once

#include <QDialog>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ingest/prepare.h"
#include "ingest/update.h"

class QLabel;
class QProgressBar;
class QPushButton;

enum class importkind { wholeexport, dailydiff };

struct importoutcome {
  bool ok = false;
  bool cancelled = false;   // the user pressed "Abbrechen" (nothing was written)
  bool nodatabase = false;  // a diff without germtowers.dat (nothing was done)
  std::string error;        // one line, Windows-1252, when !ok
  std::vector<std::string> notes;  // what was put right before the run
  preparecounts prepared;   // importkind::wholeexport
  updatecounts updated;     // importkind::dailydiff
};

// The progress dialog (object name "importprogress"; its button
// "importcancel", its status line "importstatus").  Esc and the close
// button cancel as the button does; it closes only when the run ended.
class TimportProgressDlg : public QDialog {
  Q_OBJECT
 public:
  // title and head are Windows-1252.
  TimportProgressDlg(QWidget* owner, const std::string& title, const std::string& head);

  // A report of the worker; mbs is the input's rate (negative: not known
  // yet).
  void showprogress(const prepareprogress& p, double mbs);
  // Another run holds the folder lock (folder: Windows-1252).
  void showwaiting(const std::string& folder);
  // The run ended: the dialog may close.
  void finish();

  std::shared_ptr<std::atomic<bool>> cancelflag() const { return cancel_; }
  std::string statustext() const;

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void requestcancel();

  QLabel* head_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* cancelbutton_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
  bool finished_ = false;
};

// Converts (wholeexport) or applies (dailydiff) the file at path into the
// folder dir with the progress dialog, modal over owner.  Returns when the
// work has ended.
importoutcome runimport(QWidget* owner, importkind kind, const std::string& path, const std::string& dir = ".");

// True while runimport works: the window must not close meanwhile.
bool importrunning();

// The progress line: "37 % · 1.234.567 Zeilen · 85 MB/s" (no percent when
// the input's size is unknown, no rate when mbs is negative),
// Windows-1252.
std::string progressline(const prepareprogress& p, double mbs);
