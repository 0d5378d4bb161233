#pragma once

#include "core/code_conversion.h"
#include "core/digits.h"
#include "core/failure.h"
#include "core/main_window_fields.h"
#include "core/measurement_cycle.h"
#include "core/number_locale.h"
#include "core/number_parse.h"
#include "core/number_text.h"
#include "core/read_operation.h"
#include "core/reading.h"
#include "core/thermistor.h"
