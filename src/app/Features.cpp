#include "app/Features.h"

#include "app/EditingFeatures.h"
#include "app/MainWindow.h"

namespace qy::app {

void AttachFeatures(MainWindow& window) { new EditingFeatures(window); }

}  // namespace qy::app
