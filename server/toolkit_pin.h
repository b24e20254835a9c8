#pragma once
// Qt's libraries are not made to be unloaded and loaded again: each round loses what they
// allocated when they started. A host without Qt that unloads the plug-in (and with it Qt)
// would leak on every load, so once the plug-in has brought Qt in, Qt stays.
namespace dravo {

// Marks the toolkit's libraries as never to be unloaded. True when they are.
bool keep_toolkit_loaded();

}  // namespace dravo
