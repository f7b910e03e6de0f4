#include "tests/faults/faultfiles.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>


namespace fs = std::filesystem;

childresult runlimited(long limitbytes, const std::function<int(std::string&)>& body) {
  childresult r;
  int fds[2];
  if (::pipe(fds) != 0) return r;
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid < 0) return r;
  if (pid == 0) {
    ::close(fds[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim {};
    ::getrlimit(RLIMIT_FSIZE, &lim);
    lim.rlim_cur = static_cast<rlim_t>(limitbytes);
    if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) ::_exit(99);
    std::string report;
    int status = body(report);
    std::size_t put = 0;
    while (put < report.size()) {
      ssize_t n = ::write(fds[1], report.data() + put, report.size() - put);
      if (n <= 0) break;
      put += static_cast<std::size_t>(n);
    }
    ::close(fds[1]);
    ::_exit(status);  // no exit handlers, no flushing of the parent's buffers
  }
  ::close(fds[1]);
  char buf[4096];
  for (;;) {
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    r.output.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  int ws = 0;
  ::waitpid(pid, &ws, 0);
  r.exited = WIFEXITED(ws);
  r.status = r.exited ? WEXITSTATUS(ws) : -1;
  return r;
}

childresult onsmalltmpfs(const std::string& folder, long bytes, const std::function<int(std::string&)>& body) {
  return runlimited(LONG_MAX, [&](std::string& report) {
    std::string options = "size=" + std::to_string(bytes);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      report = std::string("skip: no tmpfs can be mounted here: ") + std::strerror(errno);
      return 0;
    }
    return body(report);
  });
}

childresult onreadonlyfolder(const std::string& folder, const std::function<int(std::string&)>& body) {
  return runlimited(LONG_MAX, [&](std::string& report) {
    if (::geteuid() != 0) {
      struct stat st {};
      if (::stat(folder.c_str(), &st) != 0 || ::chmod(folder.c_str(), 0555) != 0) {
        report = std::string("skip: can't take the write permission of the folder: ") + std::strerror(errno);
        return 0;
      }
      int status = body(report);
      ::chmod(folder.c_str(), st.st_mode & 07777);
      return status;
    }
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      report = std::string("skip: no read-only bind mount here: ") + std::strerror(errno);
      return 0;
    }
    return body(report);
  });
}

spawned spawn(const std::string& program, const std::vector<std::string>& args, const std::string& base,
              const std::string& cwd, long limitbytes) {
  spawned s;
  s.base = base;
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = base + ".out", err = base + ".err";
  std::fflush(nullptr);
  s.pid = ::fork();
  if (s.pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(98);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(97);
    std::signal(SIGXFSZ, SIG_DFL);
    if (limitbytes >= 0) {
      struct rlimit lim {};
      ::getrlimit(RLIMIT_FSIZE, &lim);
      lim.rlim_cur = static_cast<rlim_t>(limitbytes);
      if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) ::_exit(96);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(95);
  }
  return s;
}

programresult await(const spawned& run) {
  programresult r;
  int ws = 0;
  if (run.pid <= 0 || ::waitpid(run.pid, &ws, 0) != run.pid) return r;
  r.exited = WIFEXITED(ws);
  r.status = r.exited ? WEXITSTATUS(ws) : -1;
  r.signal = WIFSIGNALED(ws) ? WTERMSIG(ws) : 0;
  std::ifstream out(run.base + ".out", std::ios::binary), err(run.base + ".err", std::ios::binary);
  r.out.assign(std::istreambuf_iterator<char>(out), {});
  r.err.assign(std::istreambuf_iterator<char>(err), {});
  return r;
}

bool filldisk(const std::string& folder) {
  std::string name = folder + "/filler";
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return errno == ENOSPC;
  static const char block[4096] = {};
  bool full = false;
  for (;;) {
    ssize_t n = ::write(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      full = errno == ENOSPC;
      break;
    }
  }
  ::close(fd);
  return full;
}

std::string germancsv(int n, bool berlin) {
  std::string csv = "radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,averageSignal\n";
  for (int i = 0; i < n; ++i) {
    char row[160];
    std::snprintf(row, sizeof row, "LTE,262,2,%d,%d,0,%s%d.%06d,%s%d.%06d,%d,5,1,0,0,0\n", 100 + i % 50,
                  1000 + i, "", berlin ? 13 : 9, 100000 + i % 500000, "", berlin ? 52 : 50,
                  400000 + i % 200000, 500 + i);
    csv += row;
  }
  return csv;
}

ttowerrec towerat(std::int32_t cellid, long double lon, long double lat) {
  ttowerrec r{};
  settypetext(r, "GSM");
  r.typecode = 1;
  r.netid = 2;
  r.area = 0x352;
  r.cellid = cellid;
  r.longitude = toreal(lon);
  r.latitude = toreal(lat);
  r.range = 1000;
  return r;
}

void writetowers(const std::string& path, const std::vector<ttowerrec>& towers) {
  writebytes(path, std::string(reinterpret_cast<const char*>(towers.data()), towers.size() * sizeof(ttowerrec)));
}
