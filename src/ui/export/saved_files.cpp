#include "ui/export/saved_files.hpp"

#include <QFileInfo>
#include <QSaveFile>
#include <string_view>

#include "records/big5.hpp"

namespace qelm::ui {

QString WriteFileWhole(const QString& path, const QByteArray& bytes) {
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
