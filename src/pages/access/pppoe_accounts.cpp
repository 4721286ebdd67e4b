// Tab 24: PPPoE accounts (PPP secrets), one typed by hand or a batch with
// random names and passwords.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/access/ppp7.h"
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/text.h"

namespace rosgen {
namespace {

// The four list switches, in the order of the adjustment table: account
// digits (A), account letters (B), password digits (C), password letters (D).
const std::array<const char*, 4> kSwitches = {
    "选择框_添加PPPOE帐号_数字",
    "选择框_添加PPPOE帐号_英文",
    "选择框_添加PPPOE密码_数字一",
    "选择框_添加PPPOE密码_英文一",
};
const std::array<const char*, 4> kLists = {
    "编辑框_添加PPPOE帐号_帐号数字",
    "编辑框_添加PPPOE帐号_帐号英文",
    "编辑框_添加PPPOE帐号_密码数字",
    "编辑框_添加PPPOE帐号_密码英文",
};
// E: the password is drawn like the account's random part (same length, all lists).
constexpr const char* kLikeAccount = "选择框_添加PPPOE帐号_密码帐号一致";

constexpr const char* kDigits = "0,1,2,3,4,5,6,7,8,9";
constexpr const char* kLetters = "Q,W,E,R,T,Y,U,I,O,P,A,S,D,F,G,H,J,K,L,Z,X,C,V,B,N,M";

// What a random part of no characters does to a batch.
constexpr const char* kSameAccounts = "随机部分不到1个字符，所有帐号同名，只有第一个能添加到路由器";
constexpr const char* kEmptyPasswords = "随机部分不到1个字符，每个帐号的密码都是空的";

// A length or count the batch reads as a number and never writes.
Typed read_count(const char* text, const char* below_one = nullptr) {
  Typed t = v::count(text).written(Writing::Number, Writing::Number);
  if (!below_one) return t;
  t.rule.min = 1;
  return t.below_min(below_one);
}

constexpr Ascii kSecretHead = "/ ppp secret add name=\""_a;
constexpr Ascii kSecretPassword = "\" password=\""_a;

Outcome single_account(Ctx& c, Syntax syntax) {
  bool bind = c.checked("选择框_添加PPPOE帐号_绑定MAC");
  if (bind) {
    // Compared as typed: a MAC of blanks passes.
    const Gbk& mac = c.text("编辑框_添加PPPOE帐号_MAC");
    if (mac.empty()) return c.refuse("绑定的MAC不能为不能为空!");
    if (mac == Gbk("00-00-00-00-00"_a)) return c.refuse("绑定的MAC不能为:00-00-00-00-00");
  }
  if (syntax == Syntax::V7) {
    const Gbk caller = bind ? caller_id7(c.trimmed("编辑框_添加PPPOE帐号_MAC")) : Gbk();
    const Gbk profile = c.trimmed("编辑框_添加PPPOE帐号_模板标识");
    c.write(if_profile7(profile, remove_named7("/ppp secret", quoted7(c.trimmed("编辑框_添加PPPOE帐号_用户名"))) +
                                     ppp_secret7(c.trimmed("编辑框_添加PPPOE帐号_用户名"),
                                                 c.trimmed("编辑框_添加PPPOE帐号_密码"), "pppoe"_a, caller, profile) +
                                     "\r\n"_a));
    return Outcome::Done;
  }
  Gbk caller = bind ? " caller-id="_a + c.trimmed("编辑框_添加PPPOE帐号_MAC") : Gbk();
  c.write(kSecretHead + c.trimmed("编辑框_添加PPPOE帐号_用户名") + kSecretPassword +
          c.trimmed("编辑框_添加PPPOE帐号_密码") + "\" service=pppoe"_a + caller + " profile="_a +
          c.trimmed("编辑框_添加PPPOE帐号_模板标识"));
  return Outcome::Done;
}

// A combination that leaves the account or the password without any list is
// answered with a message and these ticks (A, B, C, D). Only E off can match.
struct Adjustment {
  std::array<bool, 5> when;  // A, B, C, D, E
  std::array<bool, 4> tick;  // A, B, C, D
};
constexpr Adjustment kAdjustments[] = {
    {{false, false, false, false, false}, {false, true, false, true}},
    {{true, false, false, false, false}, {true, false, true, false}},
    {{false, true, false, false, false}, {false, true, false, true}},
    {{true, true, false, false, false}, {false, true, false, true}},
    {{false, false, true, true, false}, {false, true, false, true}},
    {{false, false, false, true, false}, {false, true, false, true}},
    {{false, false, true, false, false}, {false, true, false, true}},
};

// Picks are independent, so elements may repeat. An empty alphabet gives an
// empty part and draws nothing.
Gbk draw(Env& env, const std::vector<Gbk>& alphabet, int picks) {
  Gbk out;
  if (alphabet.empty()) return out;
  const auto n = static_cast<std::uint32_t>(alphabet.size());
  for (int i = 0; i < picks; ++i) out += alphabet[env.random_below(n)];
  return out;
}

// The most bytes the picks of one name or password may take: every pick counts at
// least one byte, so bounding the bytes bounds the picks too.
double pick_bytes(const std::vector<Gbk>& alphabet, int picks) {
  if (alphabet.empty() || picks <= 0) return 0;
  std::size_t widest = 1;
  for (const Gbk& element : alphabet) widest = std::max(widest, element.size());
  return static_cast<double>(picks) * static_cast<double>(widest);
}

// The log keeps the accounts of every export. When the program's folder cannot
// be written (an installed copy), the per-user data folder takes it, so an
// export that was asked for is not lost; beyond that it stays silent.
void export_log(Ctx& c, const Gbk& entry) {
  const std::string& bytes = entry.bytes();
  if (bytes.empty()) return;
  if (c.env.append_file(c.env.program_dir() / "log" / "log.TXT", bytes)) return;
  c.env.append_file(c.env.user_data_dir() / "log" / "log.TXT", bytes);
}

// One text for 2.9.x and 3.x; only the random values differ between presses.
// RouterOS 7 gets the same accounts from the same draws in its own syntax,
// while the log keeps one format whichever syntax was written.
Outcome batch(Ctx& c, Syntax syntax) {
  std::array<bool, 4> on{};
  for (std::size_t i = 0; i < on.size(); ++i) on[i] = c.checked(kSwitches[i]);
  const bool like = c.checked(kLikeAccount);

  const Adjustment* adjustment = nullptr;
  for (const Adjustment& a : kAdjustments) {
    if (a.when == std::array<bool, 5>{on[0], on[1], on[2], on[3], like}) {
      adjustment = &a;
      break;
    }
  }
  std::array<bool, 4> now = on;
  if (adjustment) {
    for (std::size_t i = 0; i < now.size(); ++i) now[i] = now[i] || adjustment->tick[i];
  }
  if (like) now.fill(true);

  std::vector<Gbk> account_alphabet;
  std::vector<Gbk> password_alphabet;
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (!now[i]) continue;
    auto& alphabet = i < 2 ? account_alphabet : password_alphabet;
    for (Gbk& element : split(c.trimmed(kLists[i]), ","_a)) alphabet.push_back(std::move(element));
  }
  const int account_length = truncate(to_number(c.trimmed("编辑框_添加PPPOE帐号_随机帐号长度")));
  const int password_length =
      like ? account_length : truncate(to_number(c.trimmed("编辑框_添加PPPOE帐号_随机密码长度")));
  const int count = truncate(to_number(c.trimmed("编辑框_添加PPPOE帐号_每次生成")));
  const Gbk prefix = c.checked("选择框_添加PPPOE帐号_帐号前秦") ? c.trimmed("编辑框_添加PPPOE帐号_帐号前秦") : Gbk();
  const Gbk suffix = c.checked("选择框_添加PPPOE帐号_帐号后缀") ? c.trimmed("编辑框_添加PPPOE帐号_帐号后缀") : Gbk();
  const Gbk profile = c.trimmed("编辑框_添加PPPOE帐号_模板标识二");
  const Gbk tail = "\" service=pppoe profile="_a + profile + "\r\n"_a;

  if (count > 0) {
    double line = static_cast<double>(kSecretHead.text.size() + prefix.size() + suffix.size() +
                                      kSecretPassword.text.size() + tail.size()) +
                  pick_bytes(account_alphabet, account_length) + pick_bytes(password_alphabet, password_length);
    // The batch is held whole in memory and shown in the output box: a count or a length typed
    // by mistake (1e9) is refused, rather than exhaust memory or freeze the program.
    const std::size_t limit = c.env.script_limit();
    if (line * count > static_cast<double>(limit)) {
      return c.refuse("生成的脚本超过" + std::to_string(limit >> 20) + "MB,请减少帐号数量或随机帐号、密码的长度!");
    }
  }

  c.write(Gbk());
  if (adjustment) c.message("必须选择帐号和密码各一项!\r\n否则无法生成!!");
  // The ticks stay on the page after the press.
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (now[i]) c.form.set_checked(kSwitches[i], true);
  }
  Gbk log;
  Gbk lines7;
  for (int n = 1; n <= count; ++n) {
    Gbk name = draw(c.env, account_alphabet, account_length);
    Gbk password = draw(c.env, password_alphabet, password_length);
    Gbk line = kSecretHead + prefix + name + suffix + kSecretPassword + password + tail;
    if (syntax == Syntax::V7) {
      // A name drawn twice, or one the router already has, would stop the
      // script there and lose the rest of the batch: such an account is skipped.
      const Gbk full = quoted7(prefix + name + suffix);
      lines7 += ":if ([:len [/ppp secret find name="_a + full + "]] = 0) do={"_a +
                ppp_secret7(prefix + name + suffix, password, "pppoe"_a, Gbk(), profile) + "}\r\n"_a;
    } else {
      c.append(line);
    }
    log += line;
  }
  if (syntax == Syntax::V7) c.write(if_profile7(profile, lines7));
  if (c.checked("选择框_添加PPPOE帐号_是否导出")) export_log(c, log);
  return Outcome::Done;
}

Handler classic(Outcome (*run)(Ctx&, Syntax)) {
  return [run](Ctx& c) { return run(c, Syntax::Classic); };
}
Handler v7(Outcome (*run)(Ctx&, Syntax)) {
  return [run](Ctx& c) { return run(c, Syntax::V7); };
}

}  // namespace

void build_pppoe_accounts(Page& page) {
  page.caption = "添加PPPoE帐号(支持批量添加)";
  const char* length_hint = "(这里不包括前奏及后缀的长度)";
  const char* digits_hint = "(在这里设置将被随机读取到的数字,用逗号隔开)";
  const char* letters_hint = "(在这里设置将被随机读取到的字母,用逗号隔开)";
  page.items = {
      group("添加PPPoE帐号",
            {
                row({
                    edit({"编辑框_添加PPPOE帐号_模板标识", "profile"},
                         "模板标识(与服务器设置时的模板标识一致):", v::name("PPPoE_Profile")),
                    edit({"编辑框_添加PPPOE帐号_用户名", "user"},
                         "用户名:", v::name("KETROVA5").written(Writing::Quoted, Writing::Escaped)),
                }),
                row({
                    edit({"编辑框_添加PPPOE帐号_密码", "password"}, "密码:", v::password("pass12345678")),
                    check({"选择框_添加PPPOE帐号_绑定MAC", "bind-mac"}, "绑定MAC:", false),
                    edit({"编辑框_添加PPPOE帐号_MAC", "mac"}, "",
                         v::mac("00-00-00-00-00").written(Writing::Plain, Writing::Normalised),
                         "(只允许帐号在这个MAC地址上连接)"),
                }),
                row({
                    button("single-2x", "按钮_tcp_自定义脚本生成2x16", "生成2.9.X系列脚本", classic(single_account)),
                    button("single-3x", "按钮_tcp_自定义脚本生成2x15", "生成3.X系列脚本", classic(single_account)),
                    button7("single-7x", "生成7.X系列脚本", v7(single_account)),
                }),
            }),
      group("",
            {
                row({
                    check({"选择框_添加PPPOE帐号_帐号前秦", "use-prefix"}, "帐号前是否指定前奏", true),
                    edit({"编辑框_添加PPPOE帐号_帐号前秦", "prefix"}, "",
                         v::name("KETROVA5").written(Writing::Quoted, Writing::Escaped)),
                    check({"选择框_添加PPPOE帐号_帐号后缀", "use-suffix"}, "帐号后是否指定后缀", true),
                    edit({"编辑框_添加PPPOE帐号_帐号后缀", "suffix"}, "",
                         v::name("@example.net").written(Writing::Quoted, Writing::Escaped)),
                    note("(如:KETROVA5Q7W3E9@example.net)"),
                }),
                row({edit({"编辑框_添加PPPOE帐号_模板标识二", "batch-profile"},
                          "摸板标识(与服务器设置时的模板标识一致):", v::name("PPPoE_Profile"))}),
                row({
                    edit({"编辑框_添加PPPOE帐号_随机密码长度", "password-length"},
                         "随机密码长度:", read_count("8", kEmptyPasswords), length_hint),
                    edit({"编辑框_添加PPPOE帐号_随机帐号长度", "user-length"},
                         "随机帐号长度:", read_count("6", kSameAccounts), length_hint),
                }),
                row({
                    check({kSwitches[0], "use-user-digits"}, "帐号中添加数字", true),
                    edit({kLists[0], "user-digits"}, "", v::text(kDigits), digits_hint),
                }),
                row({
                    check({kSwitches[1], "use-user-letters"}, "帐号中添加字母", true),
                    edit({kLists[1], "user-letters"}, "", v::text(kLetters), letters_hint),
                }),
                row({
                    check({kSwitches[2], "use-password-digits"}, "密码中添加数字", true),
                    edit({kLists[2], "password-digits"}, "", v::password(kDigits), digits_hint),
                }),
                row({
                    check({kSwitches[3], "use-password-letters"}, "密码中添字母", true),
                    edit({kLists[3], "password-letters"}, "", v::password(kLetters), letters_hint),
                }),
                row({check({kLikeAccount, "password-like-user"},
                           "密码与帐号随机部分一致(即密码长度为随机帐号长度,此功能被选择时以上两项密码设置无效)",
                           false)}),
                row({edit({"编辑框_添加PPPOE帐号_每次生成", "count"}, "此次生成帐号数量:", read_count("10"),
                          "(建议每次生成不要多于50个,以免在脚本运行时卡死)")}),
                row({
                    check({"选择框_添加PPPOE帐号_是否导出", "export"},
                          "是否导出当次生成的帐号及密码(保存在程序目录下的Log目录)", true),
                    button("batch-2x", "按钮_添加PPPOE帐号_自定义脚本生成2x", "生成2.9.X系列脚本", classic(batch)),
                    button("batch-3x", "按钮_添加PPPOE帐号_自定义脚本生成3x", "生成3.X系列脚本", classic(batch)),
                    button7("batch-7x", "生成7.X系列脚本", v7(batch)),
                }),
            }),
  };
}

}  // namespace rosgen
