#include "window/urunlertoplu.h"

void urunlertoplu::kaydet_Click()
{
}
