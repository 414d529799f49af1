/** @file Accessibility.h
 * Names for assistive technology. On Linux Qt names a combo box after its current
 * text; the workbench's combo boxes are named after their layout names instead, like
 * every other component without a caption.
 */
#pragma once

namespace qy::app {

/// Installs, once per process, the accessible interface that gives a combo box with
/// an accessible name that name. Call before the first combo box is asked for.
void InstallAccessibleNames();

}  // namespace qy::app
