// Precompiled Qt headers shared by the Qt back end and the application.
#pragma once
#include <QtCore/QString>
#include <QtCore/QByteArray>
#include <QtCore/QStringConverter>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <QtGui/QFont>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QWidget>
#include <QtWidgets/QDialog>
#include <QtWidgets/QApplication>
