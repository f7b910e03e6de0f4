// Recording doubles of the platform layer, for tests.
#pragma once
