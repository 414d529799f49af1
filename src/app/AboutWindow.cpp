#include "app/AboutWindow.h"

#include "app/InfoMenu.h"
#include "text/QtBridge.h"

namespace qy::app {

std::string AboutText() {
    // Every line but the last is indented by 11 spaces; an empty line separates them.
    const std::string indent(11, ' ');
    const char* lines[] = {"版本号：1.81 ",
                           "1.搜索框更加人性化[回车键]",
                           "2.修改JS速查手册，方便查询",
                           "3.优化调试输出框",
                           "4.增加JS压缩功能避免复制后进去的JS过长",
                           "5.增加常用编码的解密(U码，URL，UTF8，base64)           ",
                           "注：对象查看功能致谢阿木 小马 特此留名"};
    std::string text;
    for (const char* line : lines) text += indent + line + "\r\n\r\n";
    text += std::string(93, ' ') + "青柚生-2012.10.3";
    return text::Utf8ToAnsiText(text);
}

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    PrepareInfoWindow(*this, QStringLiteral("关于青柚JS调试工具"), {525, 300});
    AddInfoLabel(*this, "标签2", QStringLiteral("版本说明"), {8, 0, 512, 32}, text::WorkbenchFont(14, true));
    AddInfoLabel(*this, "标签1", text::ToQString(AboutText()), {8, 32, 512, 264}, text::WorkbenchFont(12));
}

}  // namespace qy::app
