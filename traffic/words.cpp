#include "traffic/words.h"

#include <algorithm>
#include <cerrno>

#include "link/vocabulary.h"

namespace traffic {

namespace {

constexpr const char *kVerdicts[] = {
    "已确认",     "被拒绝",
    "无应答",     "校验和错误",
    "无法识别",   "转速报告",
    "未知应答",   "端口错误",
    "发送失败",   "读取后丢弃",
    "下载前丢弃", "已打开",
    "打开失败",   "轮询",
    "全部已确认", "应答迟到：结果可能属于上一条命令",
    "记录丢失",   "拒绝未计入：有命令被设备拒绝",
};
static_assert(sizeof kVerdicts / sizeof kVerdicts[0] == static_cast<int>(Verdict::Count));

constexpr const char *kLabels[] = {
    "下载", "通讯检查",         "定速", "扫速", "演示设备", "设备已断开或出错", "至少",
    "另有", "（末条命令之后）",
};
static_assert(sizeof kLabels / sizeof kLabels[0] == static_cast<int>(Label::Count));

struct SystemReason {
  int error;
  const char *words;
};

// Numbers that name the same trouble share its words.
constexpr SystemReason kSystemReasons[] = {
    {ENOENT, "设备不存在"},     {ENODEV, "设备不存在"},     {ENXIO, "设备未连接"},
    {EACCES, "没有权限"},       {EPERM, "没有权限"},        {EBUSY, "设备忙：已被其他程序打开"},
    {ENOTTY, "不是串口设备"},   {EISDIR, "不是串口设备"},   {EIO, "输入输出错误"},
    {ENOTDIR, "路径无效"},      {ENAMETOOLONG, "路径无效"}, {ELOOP, "路径无效"},
    {EMFILE, "打开的文件过多"}, {ENFILE, "打开的文件过多"},
};

// A fault no table names, or an error number the table does not hold.
constexpr const char *kCannotOpen = "无法打开";

struct FaultReason {
  rt::TapOpenFault fault;
  const char *words;
};

constexpr FaultReason kFaultReasons[] = {
    {rt::TapOpenFault::Locked, "设备忙：被其他程序锁定"},
    {rt::TapOpenFault::PortOutOfRange, "端口号超出范围"},
    {rt::TapOpenFault::BadLineSettings, "线路参数无效"},
    {rt::TapOpenFault::NoDevicePath, "没有设备路径"},
    {rt::TapOpenFault::DeviceUnavailable, "内置设备不可用"},
};

} // namespace

const char *Word(Verdict verdict) {
  const int i = static_cast<int>(verdict);
  return i >= 0 && i < static_cast<int>(Verdict::Count) ? kVerdicts[i] : "";
}

const char *Word(Label label) {
  const int i = static_cast<int>(label);
  return i >= 0 && i < static_cast<int>(Label::Count) ? kLabels[i] : "";
}

std::string OpenFailureWords(rt::TapOpenFault fault, int error) {
  if (fault == rt::TapOpenFault::System) {
    for (const SystemReason &r : kSystemReasons)
      if (r.error == error)
        return r.words;
    return std::string(kCannotOpen) + "（错误号 " + std::to_string(error) + "）";
  }
  for (const FaultReason &r : kFaultReasons)
    if (r.fault == fault)
      return r.words;
  return kCannotOpen;
}

std::vector<std::string> AllOpenFailureWords() {
  std::vector<std::string> words;
  auto add = [&words](const std::string &w) {
    if (std::find(words.begin(), words.end(), w) == words.end())
      words.push_back(w);
  };
  for (const SystemReason &r : kSystemReasons)
    add(r.words);
  for (const FaultReason &r : kFaultReasons)
    add(r.words);
  add(kCannotOpen);
  return words;
}

std::string TryText(int number) {
  return std::to_string(number) + "/" + std::to_string(ORDER_ATTEMPTS);
}

std::string ByteCount(long long count, bool atLeast) {
  return (atLeast ? std::string(Word(Label::AtLeast)) + " " : std::string()) +
         std::to_string(count) + " 字节";
}

std::string WordWithCount(Verdict verdict, long long count, bool atLeast) {
  return std::string(Word(verdict)) + "（" + ByteCount(count, atLeast) + "）";
}

} // namespace traffic
