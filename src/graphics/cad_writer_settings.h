// The writers' options filled from the program-wide settings (plot settings, configuration,
// program identity), with texts converted by the CAD text mode and messages going to the
// message list.
#pragma once

#include "graphics/cad_writer.h"

TCadWriterOptions CadWriterOptionsFromSettings();
