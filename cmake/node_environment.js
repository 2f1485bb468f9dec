// Prepended to the programs the web build runs under node (hopla_node_program): emscripten
// gives them an environment of its own, so the switches they read are handed on from node's.
Module['preRun'] = (Module['preRun'] || []).concat(function() {
  if (typeof ENV === 'undefined') return;
  ['HOPLA_PORTABLE_KERNELS'].forEach(function(name) {
    if (process.env[name] !== undefined) ENV[name] = process.env[name];
  });
});
