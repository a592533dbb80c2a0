#include "core/catalogue/problem.h"

#include "core/store/columns.h"
#include "core/text/cp932.h"

namespace velmora::catalogue {

Problem cellProblem(store::CellProblem problem)
{
    switch (problem) {
        case store::CellProblem::None:
            return Problem::None;
        case store::CellProblem::Separator:
            return Problem::CellSeparator;
        case store::CellProblem::LineBreak:
            return Problem::CellLineBreak;
        case store::CellProblem::LoneLeadByte:
            return Problem::CellLoneLeadByte;
    }
    return Problem::None;
}

Problem checkCellText(int column, std::string_view value)
{
    return cellProblem(store::checkCell(column, value));
}

Problem checkMemoLine(std::string_view line)
{
    if (text::findOnBoundary(line, "{}") != std::string_view::npos) {
        return Problem::MemoLineHasBraces;
    }
    return checkCellText(store::Category3Column, line);
}

std::string problemMessage(Problem problem)
{
    switch (problem) {
        case Problem::None:
            return {};
        case Problem::CellSeparator:
            return "「<>」は保存できない文字列です。";
        case Problem::CellLineBreak:
            return "改行は入力できません。";
        case Problem::CellLoneLeadByte:
            return "文字の途中で終わっています。";
        case Problem::MemoLineHasBraces:
            return "「{}」は保存できない文字列です。";
        case Problem::NoSuchAlbum:
            return "アルバムが選択されていません";
        case Problem::NoAlbums:
            return "アルバムがありません";
        case Problem::FindEmpty:
            return "置換前の文字列を入力してください";
        case Problem::FindHasSeparator:
        case Problem::ReplacementHasSeparator:
            return "置換の文字列に<>を含まないで下さい";
        case Problem::MemoReplaceHasBraces:
            return "メモを置換するときは置換の文字列に{}を含まないで下さい";
        case Problem::ReplacementHasLineBreak:
            return "置換の文字列に改行を含まないで下さい";
        case Problem::SearchWordEmpty:
            return "検索する言葉を入力してください";
        case Problem::NoAlbumsStored:
            return "アルバムが登録されていません";
        case Problem::NoAlbumsShown:
            return "アルバムが表示されていません";
        case Problem::RenumberNeedsAllAlbums:
            return "すべてのアルバムが表示されていません";
        case Problem::ReorderNeedsAllAlbums:
            return "並べ替えをする時はすべてのアルバムを表示してください";
    }
    return {};
}

std::string refusedCellsMessage(int count)
{
    return std::to_string(count) +
           " 個のセルは、変更すると「<>」や改行を含んで保存できなくなるため、元のままにしました。";
}

std::string saveOverUnreadableQuestion(const std::string& path)
{
    return "アルバム情報ファイル「" + path +
           "」は読み込めなかったため、いま表示されている内容は含まれていません。\r\n"
           "保存するとこのファイルは上書きされます。保存しますか？";
}

std::string changedOnDiskQuestion(const std::string& path)
{
    return "ディスク上のデータが変更されています。\r\n"
           "アルバム情報ファイル「" +
           path +
           "」は、読み込んだ後に別のプログラムが書き換えました。\r\n"
           "読み込み直す: ディスク上のデータを読み込みます (この画面での変更は失われます)。\r\n"
           "上書き保存: この画面の内容で上書きします (ディスク上の変更は失われます)。";
}

std::string changedOnDiskRefusal(const std::string& path)
{
    return "ディスク上のデータが変更されています。アルバム情報ファイル「" + path +
           "」は、このコマンドが読み込んだ後に別のプログラムが書き換えたため、保存しませんでした。"
           "もう一度実行してください。";
}

}  // namespace velmora::catalogue
