// Tab 13: one PCQ rate for every LAN host, without switching.
#include "pages/builders.h"
#include "pages/traffic/pcq.h"

namespace rosgen {
namespace {

constexpr const char* kNic = "编辑框_pcq整体网卡名称";

// Valid in both dialects; both trees hang on the same interface.
Outcome generate(Ctx& c) {
  Gbk s = pcq_setup(c, "编辑框_pcq整体上传", "编辑框_pcq整体下载", kNic);
  s += "/ queue tree add name=\"PCQup\" parent="_a + c.trimmed(kNic) + " queue=PCQ-up packet-mark=all-mark\r\n"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// The interface field names the uplink whose traffic is shaped.
Outcome generate_7x(Ctx& c) {
  c.write(pcq_setup7(c, "编辑框_pcq整体上传", "编辑框_pcq整体下载", kNic));
  return Outcome::Done;
}

}  // namespace

void build_pcq_whole(Page& page) {
  page.caption = "PCQ整体限速脚本生成";
  page.items = {
      edit({"编辑框_pcq整体上传", "rate-up"}, "每台机上传为：", v::rate("80"), "Kbyte/s"),
      row({
          edit({"编辑框_pcq整体下载", "rate-down"}, "每台机下载为：", v::rate("80"), "Kbyte/s"),
          note("(请根据客户机数量及带宽大小自行修改)"),
      }),
      edit({kNic, "interface"}, "选择针对限速的网卡名称：", v::iface("ether1"),
           "(如无特殊原因请填写您ROS的外网网卡名称)"),
      row({
          button("gen", "", "生成2.9.X/3.X系列脚本", generate),
          button7("gen-7x", "生成7.X系列脚本", generate_7x),
      }),
      group("提示", {note("此功能一般适用于宽带比紧缺的用户")}),
  };
}

}  // namespace rosgen
