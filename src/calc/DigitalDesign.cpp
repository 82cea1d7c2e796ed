#include "model/DesignModel.h"

void CDesignModel::DesignDigital()
{
}
