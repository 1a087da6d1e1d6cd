#include "platform/catalogue.h"
#include "platform/notify.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using testsupport::sj;

TEST(Catalogue, EveryTextAsShiftJisBytes) {
    const std::vector<std::pair<int, const char*>> all = {
        {40000, "確認してください"},
        {40001, "%s を消します。よろしいですね"},
        {40002, "首賞金計算式のチェックに失敗しました\n計算結果がいつも ０Ｃｒ になるかも知れません"},
        {40003, "首賞金計算式のチェックはＯＫです"},
        {40004, "Corvane Vell を終了します"},
        {40005, "最初に基本メッセージの場所を設定して下さいね。"},
        {40006, "保存した環境ファイルがあります。上書きしますか？"},
        {40007, "環境ファイルにあるＣＶＶの環境情報をレジストリに復元しますか？"},
        {40008, "環境情報をファイルに保存しました"},
        {40009, "環境ファイルから環境情報を復元しました"},
        {40010, "保存した試合設定のファイルがあります。上書きしますか？"},
        {40011, "試合設定がすでに登録されています。上書きして登録しますか？"},
        {40012, "環境設定がインストールした時の状態になります。よろしいですか？\n\n試合設定はそのまま変わりません。\n"
                "念のため「環境情報の保存」を事前に行うことをお勧めします。"},
        {40013, "CVH の ini ファイルからメッセージ設定を取り込みました。\n重複した設定があれば消してくださいね。"},
        {40014, "特殊ルール設定を標準に戻しますか？"},
        {41000, "この操作はできません"},
        {41001, "設定を持っているネット名は消せません"},
        {41002, "登録できるメッセージ数を越えてしまいます"},
        {41003, "CVCORE.DLL がロードできません。ファイルを確認してください"},
        {41004, "試合用の DLL(%s) がロードできません。\nファイルを確認してください"},
        {41005, "VELLTEXT.DLL がロードできません。ファイルを確認してください"},
        {41006, "VELLCONF.DLL がロードできません。ファイルを確認してください"},
        {41007, "メモリが不足しています。武装データの読みこみが失敗しました"},
        {41008, "KWPH.DLL が読みこめません。ファイルを確認してください。"},
        {41009, "基本メッセージの読み込みに失敗しました"},
        {41010, "ＡＫが破壊されている、もしくはドーラーが死んでいるデータで試合はできません"},
        {41020, "試合の出力結果をファイル(%s)に作成できません"},
        {41021, "機体データをファイル(%s)に作成できません"},
        {41022, "機体データをファイル(%s)から読みこめません"},
        {41040, "武装データファイル(%s)が読みこめません"},
        {41041, "武装データファイル(%s)の形式が不正です"},
        {41042, "環境ファイルが Config ディレクトリにありません"},
        {41050, "トーナメントでは参加機体数を３機以上に設定して下さい"},
        {42000, "フレームが購入されていない機体で試合に参加することはできません。"},
        {42001, "エンジンが購入されていない機体で試合に参加することはできません。"},
        {42002, "コンピュータが購入されていない機体で試合に参加することはできません。"},
        {42003, "コンピュータ名が設定されていない機体は試合に参加することはできません。"},
        {42004, "オーナー名が設定されていない機体は試合に参加することはできません。"},
        {42005, "オーナーＩＤが設定されていない機体は試合に参加することはできません。"},
        {42006, "パイロット名が設定されていない機体は試合に参加することはできません。"},
        {42007, "パイロットの性別が設定されていない機体は試合に参加することはできません。"},
        {42008, "パイロットの年齢が設定されていない機体は試合に参加することはできません。"},
        {42009, "チーム名が設定されていない機体は試合に参加することはできません。"},
        {42010, "基本行動計画の合計値が１００以外になっています。不正な機体での試合参加はできません。"},
        {42011, "アーマナイト（ＡＫ）名が設定されていない機体は試合に参加することはできません。"},
        {43000, "（リターンキーを押すと次に進みます）"},
    };
    ASSERT_EQ(all.size(), 46u);
    for (auto& [id, text] : all) EXPECT_EQ(plat::msg::text(id), sj(text)) << id;
}

TEST(Catalogue, EntriesForCausesTheSystemDidNotName) {
    EXPECT_EQ(plat::msg::text(41023), sj("試合設定をファイル(%s)に保存できません"));
    EXPECT_EQ(plat::msg::text(41024), sj("環境情報をファイル(%s)に保存できません"));
    EXPECT_EQ(plat::msg::text(41025), sj("試合設定の一覧をファイル(%s)に保存できません"));
    EXPECT_EQ(plat::msg::text(41043), sj("試合設定ファイル(%s)の形式が不正です"));
    EXPECT_EQ(plat::msg::text(41044), sj("フォルダのパス(%s)が長すぎます"));
    EXPECT_EQ(plat::msg::text(41051), sj("すでに登録されている機体と出力する機体データのファイル名が重なるため、"
                                         "次のファイルは登録しませんでした\n%s"));
    EXPECT_EQ(plat::msg::text(41052), sj("機体データの出力先フォルダ(%s)にある参加機体のファイルが試合結果で上書きされるため、"
                                         "試合を開始できません"));
    EXPECT_EQ(plat::msg::text(41026), sj("データフォルダ(%s)を作成できません"));
    EXPECT_EQ(plat::msg::text(41027), sj("サンプルデータをファイル(%s)に作成できません"));
    EXPECT_EQ(plat::msg::text(41028),
              sj("フォルダ(%s)の名前に Shift-JIS で表せない文字があるため、Corvane Vell を起動できません"));
    EXPECT_EQ(plat::msg::text(40015),
              sj("データフォルダ(%s)は、コンピュータ %s の Corvane Vell が使用中になっていますが、応答がありません。\n\n"
                 "そのコンピュータで Corvane Vell が動いていなければ、このフォルダを引き継いで起動できます。\n"
                 "引き継いで起動しますか？（「いいえ」で終了します）"));
    EXPECT_TRUE(plat::msg::text(40016).empty());
    EXPECT_TRUE(plat::msg::text(41029).empty());
}

TEST(Catalogue, FilesAreNamedAsTheFileSystemSpellsThem) {
    EXPECT_EQ(plat::msg::format(41022, {"/tmp/x/prog/AkData\\ak08.dat"}),
              sj("機体データをファイル(/tmp/x/prog/AkData/ak08.dat)から読みこめません"));
    EXPECT_EQ(plat::msg::format(41043, {sj("\\cvv\\表\\VLCNF1")}),
              sj("試合設定ファイル(/cvv/表/VLCNF1)の形式が不正です"));
    // A typed relative name stays as typed; a node's name is no path.
    EXPECT_EQ(plat::msg::format(41020, {"sub\\Game.txt"}),
              sj("試合の出力結果をファイル(sub\\Game.txt)に作成できません"));
    EXPECT_EQ(plat::msg::format(40001, {"\\a\\b"}), sj("\\a\\b を消します。よろしいですね"));
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    plat::msg::showErrorNaming(41042, "/r/Config\\vellenv1.reg");
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              sj("環境ファイルが Config ディレクトリにありません\n/r/Config/vellenv1.reg"));
    plat::notify::clearRecorded();
}

TEST(Catalogue, PinnedBytesAndUnknownIds) {
    EXPECT_EQ(plat::msg::text(41000), "\x82\xB1\x82\xCC\x91\x80\x8D\xEC\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1");
    // The line break is one LF byte.
    EXPECT_NE(plat::msg::text(41004).find("\x81\x42\n\x83\x74"), std::string_view::npos);
    EXPECT_TRUE(plat::msg::text(0).empty());
    EXPECT_TRUE(plat::msg::text(41011).empty());
    EXPECT_TRUE(plat::msg::text(42012).empty());
}

TEST(Catalogue, FormatsArgumentsVerbatimAndUnbounded) {
    std::string longPath(600, 'x');
    longPath += "%s%d";
    std::string r = plat::msg::format(41040, {longPath});
    EXPECT_EQ(r, sj("武装データファイル(") + longPath + sj(")が読みこめません"));
    // A missing argument leaves the marker empty rather than reading garbage.
    EXPECT_EQ(plat::msg::format(41021), sj("機体データをファイル()に作成できません"));
}

TEST(Catalogue, BoxesCarryCaptionAndStyle) {
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    plat::notify::setHeadlessAnswer(plat::notify::IdCancel);
    EXPECT_EQ(plat::msg::confirm(40001, {"A"}), plat::notify::IdCancel);
    plat::notify::setHeadlessAnswer(0);
    EXPECT_EQ(plat::msg::showError(41022, {"b.dat"}), plat::notify::IdOk);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0].caption, sj("確認してください"));
    EXPECT_EQ(rec[0].icon, plat::notify::Icon::Question);
    EXPECT_EQ(rec[0].buttons, plat::notify::Buttons::OkCancel);
    EXPECT_EQ(rec[0].text, sj("A を消します。よろしいですね"));
    EXPECT_EQ(rec[1].caption, sj("この操作はできません"));
    EXPECT_EQ(rec[1].icon, plat::notify::Icon::Warning);
    EXPECT_TRUE(rec[1].topmost);
    plat::notify::clearRecorded();
}
