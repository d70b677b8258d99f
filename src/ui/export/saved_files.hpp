// Writing what the windows save: whole files or nothing, texts with CR LF
// line ends in UTF-8 or Big5.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qelm::ui {

enum class TextEncoding { kUtf8, kBig5 };
struct EncodedText {
  std::optional<QByteArray> bytes;
  QString error;  // when there are no bytes: why, for the user
};
EncodedText EncodeText(const QString& text, TextEncoding encoding);

// Writes the whole file or nothing (an existing file stays as it was on
// failure), through a temporary file renamed over it. A FIFO or a device
// (/dev/null, a terminal) is written directly, never replaced; a folder or
// any other kind of file is refused. Empty on success, else a message for
// the user that names the file.
QString WriteFileWhole(const QString& path, const QByteArray& bytes);

}  // namespace qelm::ui
