#pragma once
// An icon whose picture is drawn the first time anything asks for it, not when
// the icon is made: windows made at start-up but shown later, and menus not
// yet opened, do not draw their pictures before anyone can see them.

#include <QIcon>

#include <functional>

QIcon lazyIcon(std::function<QIcon()> make);
