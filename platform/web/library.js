// The page's side of the web platform layer: the canvas, Web Audio, the page's storage and the
// page's own controls. Linked into the game with --js-library; the C++ side is platform/web.

mergeInto(LibraryManager.library, {
  $hoplaPage: {
    canvas: function() { return document.getElementById('canvas'); },
    context2d: null,
    image: null,
    sound: null,      // the AudioContext, once opened
    buffers: [],      // an AudioBuffer per sound bank entry
    sources: [],      // the source each entry last started
  },

  // Puts width x height RGBA pixels on the canvas. The ImageData is a view of the module's
  // memory, made again only when the pixels move or the memory grows, so the picture is not
  // copied on its way. The canvas is opaque and kept in main memory (willReadFrequently): a
  // whole picture is put every frame, which measured cheaper there than on the default canvas.
  hopla_present__deps: ['$hoplaPage'],
  hopla_present: function(pixels, width, height) {
    var context = hoplaPage.context2d;
    if (!context) {
      var canvas = hoplaPage.canvas();
      if (!canvas) return;
      context = canvas.getContext('2d', {alpha: false, willReadFrequently: true});
      hoplaPage.context2d = context;
    }
    var image = hoplaPage.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== pixels ||
        image.width !== width || image.height !== height) {
      var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
      image = hoplaPage.image = new ImageData(bytes, width, height);
    }
    context.putImageData(image, 0, 0);
  },

  // A point of the page (client coordinates) in pixels of the canvas's picture, through the
  // size the canvas is shown at; written as two ints at out.
  hopla_canvas_point__deps: ['$hoplaPage'],
  hopla_canvas_point: function(clientX, clientY, out) {
    var canvas = hoplaPage.canvas();
    var x = 0, y = 0;
    if (canvas) {
      var box = canvas.getBoundingClientRect();
      if (box.width > 0 && box.height > 0) {
        x = Math.floor((clientX - box.left) * canvas.width / box.width);
        y = Math.floor((clientY - box.top) * canvas.height / box.height);
      }
    }
    HEAP32[out >> 2] = x;
    HEAP32[(out >> 2) + 1] = y;
  },

  hopla_set_cursor_visible__deps: ['$hoplaPage'],
  hopla_set_cursor_visible: function(visible) {
    var canvas = hoplaPage.canvas();
    if (canvas) canvas.style.cursor = visible ? 'default' : 'none';
  },

  // Opens Web Audio. Browsers start it suspended until the player does something, so the
  // first press, touch or key resumes it.
  hopla_audio_open__deps: ['$hoplaPage'],
  hopla_audio_open: function() {
    if (hoplaPage.sound) return 1;
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    try {
      hoplaPage.sound = new Context();
    } catch (e) {
      return 0;
    }
    var resume = function() {
      if (hoplaPage.sound.state === 'suspended') hoplaPage.sound.resume();
    };
    ['mousedown', 'touchend', 'keydown'].forEach(function(type) {
      document.addEventListener(type, resume, true);
    });
    return 1;
  },

  // Turns a sound's PCM samples (8-bit unsigned or 16-bit signed, interleaved) into the
  // AudioBuffer of that bank entry. 0 when Web Audio refuses the format.
  hopla_audio_load__deps: ['$hoplaPage'],
  hopla_audio_load: function(entry, samples, bytes, rate, channels, bits) {
    if (!hoplaPage.sound || (bits !== 8 && bits !== 16) || channels < 1) return 0;
    var frameBytes = channels * bits / 8;
    var frames = Math.floor(bytes / frameBytes);
    if (frames < 1) return 0;
    var buffer;
    try {
      buffer = hoplaPage.sound.createBuffer(channels, frames, rate);
    } catch (e) {
      return 0;
    }
    for (var c = 0; c < channels; ++c) {
      var data = buffer.getChannelData(c);
      for (var i = 0; i < frames; ++i) {
        var at = samples + i * frameBytes + c * bits / 8;
        data[i] = bits === 16 ? HEAP16[at >> 1] / 32768 : (HEAPU8[at] - 128) / 128;
      }
    }
    hoplaPage.buffers[entry] = buffer;
    return 1;
  },

  // Cuts off what the entry last started, as a sound restarted on the desktop is.
  hopla_audio_stop__deps: ['$hoplaPage'],
  hopla_audio_stop: function(entry) {
    var source = hoplaPage.sources[entry];
    hoplaPage.sources[entry] = null;
    if (source) {
      try { source.stop(); } catch (e) { /* already ended */ }
    }
    return 1;
  },

  // Plays the entry once from its start. The page counts the starts per entry in
  // window.hoplaSoundStarts, which its tests read.
  hopla_audio_play__deps: ['$hoplaPage', 'hopla_audio_stop'],
  hopla_audio_play: function(entry) {
    var buffer = hoplaPage.buffers[entry];
    if (!hoplaPage.sound || !buffer) return 0;
    _hopla_audio_stop(entry);
    var source = hoplaPage.sound.createBufferSource();
    source.buffer = buffer;
    source.connect(hoplaPage.sound.destination);
    source.start();
    hoplaPage.sources[entry] = source;
    window.hoplaSoundStarts = window.hoplaSoundStarts || {};
    window.hoplaSoundStarts[entry] = (window.hoplaSoundStarts[entry] || 0) + 1;
    return 1;
  },

  // The text stored under the key, as a string the caller frees; 0 when there is none or the
  // page may not use its storage.
  hopla_storage_read: function(key) {
    var text = null;
    try {
      text = window.localStorage.getItem(UTF8ToString(key));
    } catch (e) {
      return 0;
    }
    if (text === null) return 0;
    var size = lengthBytesUTF8(text) + 1;
    var copy = _malloc(size);
    if (copy) stringToUTF8(text, copy, size);
    return copy;
  },

  hopla_storage_write: function(key, text) {
    try {
      window.localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
      return 1;
    } catch (e) {
      return 0;
    }
  },

  // A message box of the game, shown in the page (the page's hoplaShowMessage).
  hopla_page_message: function(caption, text) {
    if (window.hoplaShowMessage) window.hoplaShowMessage(UTF8ToString(caption), UTF8ToString(text));
  },

  // Calls back (a void function) when the page is being left or put away.
  hopla_page_on_hide: function(callback) {
    window.addEventListener('pagehide', function() {
      {{{ makeDynCall('v', 'callback') }}}();
    });
  },

  // The game has ended: the page offers a new one, which calls back.
  hopla_page_ended: function(callback) {
    if (window.hoplaGameEnded) {
      window.hoplaGameEnded(function() {
        {{{ makeDynCall('v', 'callback') }}}();
      });
    }
  },

  hopla_page_started: function() {
    if (window.hoplaGameStarted) window.hoplaGameStarted();
  },

  // How long the loop's turns take, summed in window.hoplaTurnTime ({turns, milliseconds}),
  // for measuring the frame time in a browser.
  hopla_turn_timed: function(milliseconds) {
    var total = window.hoplaTurnTime || (window.hoplaTurnTime = {turns: 0, milliseconds: 0});
    total.turns += 1;
    total.milliseconds += milliseconds;
  },
});
