#include "page/Collector.h"

#include "page/PageScripts.h"

namespace qy::page {

std::string_view CollectorScript() { return scripts::kTool_collector; }

}  // namespace qy::page
