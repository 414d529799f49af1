#include "app/Features.h"

#include "app/MainWindow.h"

namespace qy::app {

void AttachFeatures(MainWindow& window) { (void)window; }

}  // namespace qy::app
