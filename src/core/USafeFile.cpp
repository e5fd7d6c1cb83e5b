#include "core/USafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/UErrors.h"

namespace {

std::string PlatformMessage(const std::string &FName, int Err) {
  return "Cannot create file \"" + FName + "\". " + std::strerror(Err);
}

mode_t NewFileMode(const std::string &FName) {
  struct stat St;
  if (::stat(FName.c_str(), &St) == 0) return St.st_mode & 07777;
  mode_t Mask = ::umask(0);
  ::umask(Mask);
  return 0666 & ~Mask;
}

} // namespace

void SafeWriteFile(const std::string &FName, std::string_view Content) {
  std::string Folder = ExtractFilePath(FName);
  std::string Tmp =
      (Folder.empty() ? std::string("./") : Folder) + "." + ExtractFileName(FName) + ".tmp-XXXXXX";
  int Fd = ::mkstemp(Tmp.data());
  if (Fd < 0) OrvaRaise(PlatformMessage(FName, errno));
  // The temporary file is removed on every failure path; the target is replaced only by the
  // final rename, so an existing file stays intact when anything goes wrong.
  auto Fail = [&](int Err) {
    ::close(Fd);
    ::unlink(Tmp.c_str());
    OrvaRaise(PlatformMessage(FName, Err));
  };
  const char *P = Content.data();
  size_t Left = Content.size();
  while (Left > 0) {
    ssize_t W = ::write(Fd, P, Left);
    if (W < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    P += W;
    Left -= static_cast<size_t>(W);
  }
  if (::fchmod(Fd, NewFileMode(FName)) != 0) Fail(errno);
  if (::fdatasync(Fd) != 0 && errno != EINVAL && errno != EROFS) Fail(errno);
  if (::close(Fd) != 0) {
    int Err = errno;
    ::unlink(Tmp.c_str());
    OrvaRaise(PlatformMessage(FName, Err));
  }
  if (::rename(Tmp.c_str(), FName.c_str()) != 0) {
    int Err = errno;
    ::unlink(Tmp.c_str());
    OrvaRaise(PlatformMessage(FName, Err));
  }
}

std::string ExtractFilePath(const std::string &FName) {
  size_t P = FName.find_last_of('/');
  return P == std::string::npos ? std::string() : FName.substr(0, P + 1);
}

std::string ExtractFileName(const std::string &FName) {
  size_t P = FName.find_last_of('/');
  return P == std::string::npos ? FName : FName.substr(P + 1);
}

std::string ExtractFileExt(const std::string &FName) {
  std::string Name = ExtractFileName(FName);
  size_t P = Name.find_last_of('.');
  return P == std::string::npos ? std::string() : Name.substr(P);
}

std::string ChangeFileExt(const std::string &FName, const std::string &Ext) {
  std::string Path = ExtractFilePath(FName), Name = ExtractFileName(FName);
  size_t P = Name.find_last_of('.');
  if (P != std::string::npos) Name.resize(P);
  return Path + Name + Ext;
}
