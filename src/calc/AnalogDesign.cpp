#include "model/DesignModel.h"

void CDesignModel::DesignAnalog()
{
}
