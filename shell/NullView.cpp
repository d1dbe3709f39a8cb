#include "NullView.h"

CNullView::CNullView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("id%1").arg(kFormId));
}
