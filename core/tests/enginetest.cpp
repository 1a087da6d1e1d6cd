// The engine tests' fixture, scripted rolls and sample AKs.
#include "enginetest.h"

#include "core/module.h"

#include <cstddef>
#include <cstring>

namespace enginetest {

void EngineTest::SetUp() {
    cv::Module().Settings = &gs;
    cv::Module().Placeholders = cv::PlaceholderTables{};
    cv::ClearFailedFile();
    *owned = cv::GameMessageBuffer{};
}

void EngineTest::TearDown() {
    cv::Module().Settings = nullptr;
    cv::Module().Placeholders = cv::PlaceholderTables{};
}

std::string EngineTest::line(size_t i) const {
    if (i >= buf.Count) return "<no line " + std::to_string(i) + ">";
    return testsupport::u8(sjis::readField(buf.Lines[i].Text));
}

Rolls::Rolls(std::initializer_list<int> rolls)
    : dice_(std::vector<int>(rolls), [](const std::string& message) { ADD_FAILURE() << message; }) {}

namespace {

TAkWeapon weapon(const char* name, const char* mount, const char* attrs, int32_t weight, int32_t price,
                 int32_t ammo) {
    TAkWeapon w{};
    put(w.Name, name);
    put(w.Mount, mount);
    put(w.Attributes, attrs);
    w.Weight = weight;
    w.Price = price;
    w.AmmoLeft = ammo;
    w.ShotsPerAttack = w.ComputerDown = w.SensorDown = 1;
    return w;
}

// Age, the three experience modifiers, wins, battles, destroyed, kills, draws.
void pilot(TAkPilot& p, const char* name, const char* sex, std::initializer_list<int32_t> record) {
    put(p.Name, name);
    put(p.Sex, sex);
    // The nine fields lie back to back from Age on.
    std::memcpy(reinterpret_cast<char*>(&p) + offsetof(TAkPilot, Age), record.begin(),
                record.size() * sizeof(int32_t));
}

void frame(TAkFrame& f, const char* name, int32_t weight, int32_t price, std::initializer_list<int32_t> max) {
    put(f.Name, name);
    f.Weight = weight;
    f.Price = price;
    int i = 0;
    for (int32_t m : max) f.MaxDurability[i] = f.Durability[i] = m, ++i;
}

} // namespace

TArmoredKnight SampleAk1() {
    TArmoredKnight a{};
    put(a.AkName, "ブラストハウンド");
    a.MachineValue = 3200;
    a.TotalCr = 5000;
    a.Movement = 7;
    put(a.Owner.Name, "山田太郎");
    pilot(a.Pilot, "ケイ・アサギリ", "女", {19, 3, 2, 4, 7, 12, 3, 1, 2});
    put(a.Pilot.Emblem, "疾風");
    frame(a.Frame, "ガルム／ＭＣ", 500, 1000, {30, 40, 40, 50, 50, 100});
    put(a.Computer.Nickname, "ハル＝９");
    put(a.Computer.NicknameTail, "ＡＢ／Ｌ３Ｗ２");
    a.Computer.Level = 3;
    a.Computer.Weight = 30;
    a.Computer.Price = 500;
    a.Engine = {{}, 300, 800, 2000}; // weight, price, power
    for (int i = 0; i < 6; ++i) a.Armor.Value[i] = 10;
    a.Armor.PriceFactor = 3;
    a.Armor.WeightFactor = 2;
    a.Sensor = {{}, "WC", 20, 100, 12, 8}; // weight, price, attack, defence
    a.Mover = {{}, 2, 50, 200, 0, 0};      // bonus, weight, price
    put(a.Mover.Name, "ブースター");
    a.Weapon[0] = weapon("ロングライフル", "右手", "射", 100, 300, 10);
    a.Weapon[0].HitRate[2] = 6;
    a.ExtraValues[0] = 4;
    a.Weapon[1] = weapon("バスターソード", "両手", "白切", 200, 400, 99);
    a.Weapon[1].HitRate[0] = 8;
    a.Weapon[1].HitRate[2] = 3;
    a.ExtraValues[1] = 1;
    a.Weapon[2] = weapon("スラスター", "左肩", "推推", 40, 100, 0);
    a.Team.Mctl = 1000;
    return a;
}

TArmoredKnight SampleAk2() {
    TArmoredKnight a{};
    put(a.AkName, "クリムゾン");
    a.MachineValue = 1500;
    a.TotalCr = 1800;
    put(a.Owner.Name, "佐藤");
    pilot(a.Pilot, "ゴウ", "男", {24, 0, 0, 0, 1, 5, 0, 0, 0});
    put(a.Pilot.ProfileSub, "熱血");
    frame(a.Frame, "スプリンター", 0, 600, {20, 25, 25, 30, 30, 60});
    put(a.Computer.Nickname, "ミカ");
    put(a.Computer.MasterCall, "ご主人様");
    put(a.Computer.NicknameTail, "Ｌ４＠１Ｌ２");
    a.Computer.Level = 1;
    a.Engine = {{}, 0, 500, 900};
    a.Weapon[1] = weapon("ハルバード", "両手", "白突", 150, 250, 99);
    a.Weapon[3] = weapon("ツインキャノン", "両手", "射", 180, 350, 4);
    a.Weapon[3].Reserved220 = 5;
    a.Weapon[4] = weapon("シールド", "左腕", "盾", 60, 120, 0);
    return a;
}

} // namespace enginetest
