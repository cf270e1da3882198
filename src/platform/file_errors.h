// The reasons a file operation fails, as the user reads them. Both file
// systems use these texts, so a message reads the same on the desktop and
// in the scenario transcripts.
#pragma once

namespace pelisto::reason {

inline constexpr const char* kNotFound = "ファイルが見つかりません";
inline constexpr const char* kDenied = "アクセスが拒否されました";
inline constexpr const char* kNoSpace = "ディスクの空き容量が足りません";
inline constexpr const char* kReadOnlyFs = "読み取り専用のファイルシステムです";
inline constexpr const char* kIsFolder = "フォルダです";
inline constexpr const char* kNotRegular = "通常のファイルではありません";
inline constexpr const char* kIoError = "入出力エラーが発生しました";
inline constexpr const char* kExists = "同じ名前のファイルかフォルダが既にあります";
inline constexpr const char* kTooManyFiles = "開いているファイルが多すぎます";
inline constexpr const char* kNameTooLong = "ファイル名が長すぎます";
inline constexpr const char* kNotWritable = "書き込みが禁止されているファイルです";
inline constexpr const char* kNotOpen = "ファイルが開かれていません";

}  // namespace pelisto::reason
