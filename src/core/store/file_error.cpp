#include "core/store/file_error.h"

namespace velmora::store {

std::string readFailureMessage(const FileError& error)
{
    return "ファイルを読み込めませんでした。\r\n" + error.path + "\r\n" + error.reason;
}

std::string writeFailureMessage(const FileError& error)
{
    return "ファイルに保存できませんでした。\r\n" + error.path + "\r\n" + error.reason;
}

}  // namespace velmora::store
