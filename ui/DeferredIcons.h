#pragma once
// The style's overflow arrows of menu and tool bars, read only when one is
// first drawn. Qt reads them from image files when each bar is made, and its
// first image read loads every image-format plugin, which most sessions never
// need: the arrows show only when a bar is too narrow for its contents.

#include <QProxyStyle>

class DeferredIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
