#include "app/Features.h"

#include "app/ConsoleFeatures.h"
#include "app/DebugFeatures.h"
#include "app/EditingFeatures.h"
#include "app/EnvFeatures.h"
#include "app/FindFeatures.h"
#include "app/InfoMenu.h"
#include "app/MainWindow.h"
#include "app/NetworkFeatures.h"
#include "app/PageFeatures.h"
#include "app/ServeFeatures.h"
#include "app/TargetFeatures.h"
#include "app/TransformFeatures.h"
#include "inspect/ObjectViewer.h"

namespace qy::app {

void AttachFeatures(MainWindow& window) {
    AttachShell(window);
    new EditingFeatures(window);
    new NetworkFeatures(window);
    new TransformFeatures(window);
    new TargetFeatures(window);
    new EnvFeatures(window);
    new PageFeatures(window);
    new ConsoleFeatures(window);
    new FindFeatures(window);
    new DebugFeatures(window);
    new ServeFeatures(window);
    window.objectViewerOpener = [](const script::ObjectRef& object) { inspect::OpenObjectViewer(object); };
}

}  // namespace qy::app
