#pragma once

#include <QIcon>
#include <QString>

// Our own pictures for the ribbon: 32 x 32 for the buttons, 16 x 16 for the tabs,
// drawn at run time so they stay sharp at any scale.
QIcon ButtonPicture(const QString& buttonName);
QIcon TabPicture(const QString& pageCaption);
