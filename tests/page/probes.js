// What the page tests watch the game by, put into the page by the tests' own server: the
// published page carries none of it. Frames are counted as the browser runs them (the game
// draws one per animation frame; a test may look at each as drawn, through afterFrame), and
// sound starts by the sound's length in samples, which
// tells the three effects apart. Page errors are noted too (uncaught errors, rejected promises,
// console errors, resources that failed to load): not every engine's driver reports them.
(function() {
  'use strict';
  var probes = window.hoplaProbes = {frames: 0, soundStarts: {}, errors: []};
  function noteError(text) { probes.errors.push(String(text)); }
  window.addEventListener('error', function(event) {
    var target = event.target;
    noteError(target && target !== window ? 'could not load ' + (target.src || target.href) :
              event.message + ' (' + event.filename + ':' + event.lineno + ')');
  }, true);
  window.addEventListener('unhandledrejection', function(event) {
    noteError('unhandled rejection: ' + event.reason);
  });
  var consoleError = console.error;
  console.error = function() {
    noteError('console.error: ' + Array.prototype.join.call(arguments, ' '));
    return consoleError.apply(console, arguments);
  };
  var request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = function(callback) {
    return request(function(time) {
      probes.frames += 1;
      callback(time);
      if (probes.afterFrame) probes.afterFrame();
    });
  };
  if (!window.AudioBufferSourceNode) return;
  var start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function() {
    var length = this.buffer ? this.buffer.length : 0;
    probes.soundStarts[length] = (probes.soundStarts[length] || 0) + 1;
    return start.apply(this, arguments);
  };
})();
