// The reasons of failed system calls, as messages give them after the file's
// name: in Chinese words for the common ones, in the system's words (never a
// bare number) for the rest.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "records/file_io.hpp"

namespace qelm::records::io {
namespace {

bool HasChinese(const std::string& s) {
  // Every CJK ideograph's UTF-8 lead byte is E3 to E9; the full-width
  // brackets around a reason are EF.
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0xE3 && static_cast<unsigned char>(c) <= 0xE9) return true;
  return false;
}

TEST(FileReasons, CommonErrorsInWordsRareOnesNamed) {
  for (int error : {EACCES, EPERM, EROFS, ENOSPC, EDQUOT, ENOENT, ENOTDIR, EISDIR, EIO, ENAMETOOLONG, ELOOP, EMFILE,
                    ENFILE, ENOMEM, EBUSY, ETXTBSY, EEXIST, EFBIG, EAGAIN, EINTR, ENXIO, ENODEV, EPIPE, ESTALE,
                    ETIMEDOUT, ENOTEMPTY, EXDEV}) {
    const std::string r = Reason(error);
    EXPECT_TRUE(HasChinese(r)) << error << " " << r;
    EXPECT_EQ(r.find("系統錯誤"), std::string::npos) << error << " " << r;
  }
  const std::string rare = Reason(EDOM);
  EXPECT_NE(rare.find(std::to_string(EDOM)), std::string::npos) << rare;
  EXPECT_NE(rare.find(std::generic_category().message(EDOM)), std::string::npos) << rare;
  EXPECT_EQ(Reason(0), "");
}

}  // namespace
}  // namespace qelm::records::io
