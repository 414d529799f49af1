#include "app/Features.h"

#include "app/EditingFeatures.h"
#include "app/MainWindow.h"
#include "app/NetworkFeatures.h"
#include "inspect/ObjectViewer.h"

namespace qy::app {

void AttachFeatures(MainWindow& window) {
    new EditingFeatures(window);
    new NetworkFeatures(window);
    window.objectViewerOpener = [](const script::ObjectRef& object) { inspect::OpenObjectViewer(object); };
}

}  // namespace qy::app
