# The seller's contact details, defined once: the about box shows these lines and the help page
# lists them. Each line is "label：value" as both show it.
set(CC_CONTACT_LINES
  "销售：澄川杏林软件服务社"
  "地址：澄川市杏林路88号　邮编：123456"
  "销售电话：(012) 5550 1234"
  "技术支持：(012) 5550 1235"
  "电子邮件：support@chengchuan.example"
  "网址：http://www.chengchuan.example/")

set(CC_CONTACT_CXX "")
set(CC_CONTACT_HTML "")
foreach(_line IN LISTS CC_CONTACT_LINES)
  string(APPEND CC_CONTACT_CXX "    u\"${_line}\",\n")
  string(APPEND CC_CONTACT_HTML "  <li>${_line}</li>\n")
endforeach()
