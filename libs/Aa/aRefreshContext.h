#pragma once

// What a refresh pass hands to every callback. Opaque: passes in this program run without one.
class aRefreshContext;
