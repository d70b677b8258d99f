#include "ui/export/saved_files.hpp"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string_view>

#include "records/big5.hpp"
#include "records/file_io.hpp"

namespace qelm::ui {

namespace {

// Writes all bytes to a FIFO or a device as it is; empty, or why not. A
// reader that goes away is an error (EPIPE), not the end of the program:
// SIGPIPE is held back meanwhile and a pending one taken.
QString WriteDirectly(const QByteArray& nativePath, const QByteArray& bytes) {
  const int fd = ::open(nativePath.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return QString::fromStdString(records::io::Reason(errno));
  sigset_t pipe, before;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &before);
  int error = 0;
  for (qsizetype done = 0; done < bytes.size() && error == 0;) {
    const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
    if (n > 0) done += n;
    else if (n < 0 && errno != EINTR) error = errno;
  }
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error == EPIPE) {
    const timespec none{};
    sigtimedwait(&pipe, nullptr, &none);
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return error == 0 ? QString() : QString::fromStdString(records::io::Reason(error));
}

}  // namespace

QString WriteFileWhole(const QString& path, const QByteArray& bytes) {
  // What is there already decides how it is written: only a regular file (or
  // nothing) is replaced by a renamed temporary file.
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
    const QString why = S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)
                            ? WriteDirectly(native, bytes)
                            : QString::fromStdString(records::io::Reason(S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
    return why.isEmpty() ? QString() : QStringLiteral("無法寫入 %1%2").arg(path, why);
  }
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return {};
  const QFileInfo info(path);
  const QFileInfo folder(info.absolutePath());
  const QString why = !folder.isDir()                          ? QStringLiteral("資料夾不存在")
                      : !folder.isWritable()                   ? QStringLiteral("資料夾不能寫入")
                      : info.exists() && !info.isWritable()    ? QStringLiteral("檔案不能寫入")
                                                               : file.errorString();
  return QStringLiteral("無法寫入 %1:%2").arg(info.fileName(), why);
}

EncodedText EncodeText(const QString& text, TextEncoding encoding) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  const QByteArray utf8 = crlf.toUtf8();
  if (encoding == TextEncoding::kUtf8) return {utf8, {}};
  const records::EncodedText big5 = records::EncodeBig5(std::string_view(utf8.constData(), utf8.size()));
  if (!big5.bytes)
    return {std::nullopt, QStringLiteral("「%1」沒有 Big5 字碼，沒有存檔；請改存 UTF-8")
                              .arg(QString::fromStdString(big5.unencodable))};
  return {QByteArray::fromStdString(*big5.bytes), {}};
}

}  // namespace qelm::ui
