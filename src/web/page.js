// The web edition's page: renders every page from its declaration, as the
// window does, and keeps each page's form state between calls into the engine.
// No page has code of its own here.
(function () {
  'use strict';

  var engine = null;  // rosgen_call
  var site = '';
  var pages = [];     // declarations, tab order
  var views = {};     // slug -> view
  var logBytes = '';  // the account log of this visit, one char per byte

  function call(request) {
    var reply = JSON.parse(engine(JSON.stringify(request)));
    if (reply.error) throw new Error(reply.error);
    return reply;
  }

  function el(tag, attrs, children) {
    var e = document.createElement(tag);
    if (attrs) {
      Object.keys(attrs).forEach(function (k) {
        var v = attrs[k];
        if (v === null || v === undefined || v === false) return;
        if (k === 'text') e.textContent = v;
        else if (k === 'class') e.className = v;
        else e.setAttribute(k, v === true ? '' : v);
      });
    }
    (children || []).forEach(function (c) { if (c) e.appendChild(c); });
    return e;
  }

  function today() {
    var d = new Date();
    return [d.getFullYear(), d.getMonth() + 1, d.getDate()];
  }

  // Bytes held as a string of U+0000..U+00FF, as the engine hands them over.
  function download(name, bytes) {
    var data = new Uint8Array(bytes.length);
    for (var i = 0; i < bytes.length; ++i) data[i] = bytes.charCodeAt(i);
    var url = URL.createObjectURL(new Blob([data], { type: 'application/octet-stream' }));
    var a = el('a', { href: url, download: name });
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  }

  // --- Message and input boxes: modal dialogs, answered by their buttons ---

  function dialog(caption, text, input) {
    return new Promise(function (resolve) {
      var field = input ? el('input', { type: 'text', name: 'answer' }) : null;
      if (field) field.value = input.initial;
      var ok = el('button', { type: 'button', 'data-answer': 'ok', text: '确定' });
      var cancel = input ? el('button', { type: 'button', 'data-answer': 'cancel', text: '取消' }) : null;
      var d = el('dialog', { 'data-caption': caption }, [
        el('h3', { text: caption }), el('div', { class: 'text', text: text }), field,
        el('div', { class: 'buttons' }, [ok, cancel])]);
      var answer = null;
      ok.addEventListener('click', function () { answer = field ? field.value : true; d.close(); });
      if (cancel) cancel.addEventListener('click', function () { d.close(); });
      if (field) field.addEventListener('keydown', function (e) { if (e.key === 'Enter') ok.click(); });
      d.addEventListener('close', function () { d.remove(); resolve(answer); });
      document.body.appendChild(d);
      d.showModal();
      (field || ok).focus();
    });
  }

  // --- One page ---

  function View(slug) {
    var decl = call({ op: 'describe', page: slug });
    this.decl = decl;
    this.slug = decl.slug;
    this.state = decl.state;
    this.outputEdited = false;
    this.fields = {};   // id -> element
    this.lists = {};    // id -> tbody
    this.decls = {};
    var self = this;
    decl.fields.forEach(function (f) { self.decls[f.id] = f; });
    this.buttons = {};
    decl.buttons.forEach(function (b) { self.buttons[b.id] = b; });
    this.listDecls = {};
    (decl.lists || []).forEach(function (l) { self.listDecls[l.id] = l; });
    this.busy = false;
  }

  View.prototype.render = function () {
    var d = this.decl;
    var section = el('section', { 'data-page': d.slug, hidden: true });
    if (d.layout.length) {
      var upper = el('fieldset', { class: 'upper' }, [el('legend', { text: d.caption })]);
      upper.appendChild(this.grid(d.layout));
      section.appendChild(upper);
    } else {
      section.appendChild(el('p', { class: 'note', text: d.tab + '：这个页面没有表单。' }));
    }
    if (d.output) section.appendChild(this.outputPanel());
    if (d.output) section.appendChild(this.filesPanel());
    this.section = section;
    this.show(this.state, {});
    return section;
  };

  // Items top to bottom: label, field and hint line up in three columns.
  View.prototype.grid = function (items) {
    var grid = el('div', { class: 'grid' });
    var self = this;
    items.forEach(function (item) {
      if (item.type === 'field') {
        var f = self.decls[item.id];
        var w = self.field(f);
        var hint = f.hint ? el('span', { class: 'hint', text: f.hint }) : null;
        if (f.kind === 'check' || f.kind === 'radio') {
          w.classList.add('span2');
          grid.appendChild(w);
        } else {
          grid.appendChild(f.label ? el('label', { for: 'f-' + self.slug + '-' + f.id, text: f.label }) : el('span'));
          grid.appendChild(w);
          if (!hint && f.kind === 'multiline') w.style.gridColumn = '2 / -1';
        }
        if (hint || f.kind !== 'multiline' || f.kind === 'check' || f.kind === 'radio') grid.appendChild(hint || el('span'));
        if (!f.visible) {
          [w, hint].forEach(function (x) { if (x) x.hidden = true; });
        }
      } else {
        var wide = self.inline(item);
        wide.classList.add('wide');
        grid.appendChild(wide);
      }
    });
    return grid;
  };

  // Items side by side, each field with its label before and its hint after.
  View.prototype.inline = function (item) {
    var self = this;
    switch (item.type) {
      case 'group': {
        var g = el('fieldset', null, [item.caption ? el('legend', { text: item.caption }) : null]);
        g.appendChild(self.grid(item.items));
        return g;
      }
      case 'row': {
        var row = el('div', { class: 'row' });
        item.items.forEach(function (inner) {
          if (inner.type === 'field') {
            var f = self.decls[inner.id];
            var own = f.kind === 'check' || f.kind === 'radio';
            var parts = [own || !f.label ? null : el('label', { for: 'f-' + self.slug + '-' + f.id, text: f.label }),
              self.field(f), f.hint ? el('span', { class: 'hint', text: f.hint }) : null];
            parts.forEach(function (p) { if (p) { if (!f.visible) p.hidden = true; row.appendChild(p); } });
          } else {
            row.appendChild(self.inline(inner));
          }
        });
        return row;
      }
      case 'button': return self.button(self.buttons[item.id]);
      case 'note': return el('p', { class: 'note', text: item.text });
      case 'list': return self.list(self.listDecls[item.id]);
      case 'field': return self.field(self.decls[item.id]);
    }
    return el('span');
  };

  View.prototype.field = function (f) {
    var self = this;
    var id = 'f-' + this.slug + '-' + f.id;
    var w;
    switch (f.kind) {
      case 'edit':
        w = el('input', { type: 'text', name: f.id, id: id, readonly: f.read_only, spellcheck: 'false', autocomplete: 'off' });
        w.addEventListener('input', function () { self.typed(f.id, w.value); });
        break;
      case 'multiline':
        w = el('textarea', { name: f.id, id: id, readonly: f.read_only, spellcheck: 'false', rows: 3 });
        w.addEventListener('input', function () { self.typed(f.id, w.value); });
        break;
      case 'check':
      case 'radio': {
        var box = el('input', { type: f.kind === 'check' ? 'checkbox' : 'radio', name: f.id, id: id });
        box.addEventListener('click', function () {
          self.act({ op: 'toggle', field: f.id, on: f.kind === 'check' ? box.checked : true });
        });
        this.fields[f.id] = box;
        return el('label', { class: 'check' }, [box, document.createTextNode(f.label)]);
      }
      case 'combo':
        w = el('select', { name: f.id, id: id });
        f.items.forEach(function (text, i) { w.appendChild(el('option', { value: i, text: text })); });
        w.addEventListener('change', function () { self.act({ op: 'choose', field: f.id, index: w.selectedIndex }); });
        break;
    }
    this.fields[f.id] = w;
    return w;
  };

  View.prototype.button = function (b) {
    var self = this;
    var w = el('button', { type: 'button', 'data-button': b.id, 'data-designer': b.designer, text: b.caption });
    w.addEventListener('click', function () { self.press(b.id); });
    return w;
  };

  View.prototype.list = function (l) {
    var self = this;
    var head = el('tr', null, l.columns.map(function (c) {
      return el('th', { text: c.title, style: 'min-width:' + Math.round(c.width * 0.75) + 'px' });
    }));
    var body = el('tbody');
    body.addEventListener('click', function (e) {
      var tr = e.target.closest('tr');
      if (!tr) return;
      self.act({ op: 'click', list: l.id, row: Array.prototype.indexOf.call(body.children, tr) });
    });
    this.lists[l.id] = body;
    return el('div', { class: 'list', 'data-list': l.id }, [el('table', null, [el('thead', null, [head]), body])]);
  };

  View.prototype.outputPanel = function () {
    var self = this;
    var box = el('textarea', { name: this.decl.output, 'data-output': '', spellcheck: 'false', wrap: 'off' });
    box.addEventListener('input', function () { self.outputEdited = true; });
    this.output = box;
    this.warnings = el('p', { class: 'warnings', 'data-warnings': '' });
    this.status = el('p', { class: 'status', 'data-status': '' });
    var copy = el('button', { type: 'button', 'data-panel': 'copy', 'data-designer': this.decl.panel[0], text: '复制生成脚本' });
    var save = el('button', { type: 'button', 'data-panel': 'save', text: '保存脚本' });
    var check = el('button', { type: 'button', 'data-panel': 'check', text: '检查脚本' });
    var log = el('button', { type: 'button', 'data-panel': 'log', text: '下载日志 log.TXT', hidden: true });
    var web = el('button', { type: 'button', 'data-panel': 'website', 'data-designer': this.decl.panel[3], text: '作者网站' });
    copy.addEventListener('click', function () { self.copy(); });
    save.addEventListener('click', function () { download(self.slug + '.rsc', self.outputBytes()); });
    check.addEventListener('click', function () { self.check(); });
    log.addEventListener('click', function () { download('log.TXT', logBytes); });
    web.addEventListener('click', function () { window.open(site, '_blank', 'noopener'); });
    this.logButton = log;
    return el('div', { class: 'output' }, [el('div', { class: 'box' }, [box, this.status, this.warnings]),
      el('div', { class: 'actions' }, [copy, save, check, log, web])]);
  };

  // The state as the engine takes it back: the output box as its exact bytes, or as typed.
  View.prototype.request = function () {
    var s = { fields: this.state.fields, lists: this.state.lists };
    if (this.outputEdited) s.output_text = this.output.value;
    else s.output_bytes = this.state.output_bytes;
    return s;
  };

  View.prototype.outputText = function () {
    return this.outputEdited ? this.output.value.replace(/\r?\n/g, '\r\n') : this.state.output;
  };

  View.prototype.outputBytes = function () {
    return this.outputEdited ? call({ op: 'encode', text: this.output.value }).bytes : this.state.output_bytes;
  };

  View.prototype.typed = function (id, text) {
    this.state.fields[id].text = text;
    this.mark(call({ op: 'state', page: this.slug, state: this.request() }).problems);
  };

  View.prototype.act = function (request) {
    if (this.busy) return;
    request.page = this.slug;
    request.state = this.request();
    var reply = call(request);
    this.show(reply.state, reply.problems);
  };

  // Runs the button; an input box stops the press, is asked, and the press runs
  // again from the same state with every answer so far (and the same random draws).
  View.prototype.press = async function (button) {
    if (this.busy) return;
    this.busy = true;
    this.section.setAttribute('data-busy', '');
    // Nothing of the last press stands beside this one's messages.
    if (this.warnings) this.warnings.textContent = '';
    if (this.status) this.status.textContent = '';
    try {
      var request = { op: 'press', page: this.slug, button: button, state: this.request(), today: today(),
        answers: [], random: [] };
      var seen = 0;
      var started = performance.now();
      for (;;) {
        var reply = call(request);
        window.rosgenLastPress = performance.now() - started;
        request.random = reply.random;
        if (reply.outcome === 'keys') {
          // The engine asks for key pairs; the browser's WebCrypto makes them, and the press runs again.
          request.keys = await makeKeys(reply.keys);
          if (!request.keys) {
            await dialog('信息：', NO_X25519);
            break;
          }
          started = performance.now();
          continue;
        }
        var asked = false;
        for (; seen < reply.events.length; ++seen) {
          var e = reply.events[seen];
          if (e.kind === 'message') {
            await dialog(e.caption, e.text);
          } else if (e.kind === 'input') {
            if ('answer' in e) continue;
            request.answers.push(await dialog(e.caption, e.text, e));
            ++seen;
            asked = true;
            break;
          } else if (e.kind === 'open') {
            window.open(e.address, '_blank', 'noopener');
          } else if (e.kind === 'append') {
            logBytes += e.bytes;
            if (this.logButton) this.logButton.hidden = false;
          }
        }
        if (!asked) {
          this.show(reply.state, reply.problems, reply.warnings);
          if (reply.files) this.showFiles(reply.files);
          if (reply.outcome === 'refused' && this.status) {
            var said = reply.events.filter(function (e) { return e.kind === 'message'; }).pop();
            this.status.textContent = '没有生成新脚本' + (said ? '：' + said.text.replace(/\s+/g, ' ').trim() + '　' : '，') +
              '输出框中仍是之前的内容。';
          }
          break;
        }
        started = performance.now();
      }
    } finally {
      this.busy = false;
      this.section.removeAttribute('data-busy');
    }
  };

  // The script as the router would take it: RouterOS 7's command tree, then a run on a router
  // with the default configuration; the first ten findings listed, as in the window.
  View.prototype.check = async function () {
    if (this.busy) return;
    this.busy = true;
    this.section.setAttribute('data-busy', '');
    try {
      var found = call({ op: 'check', text: this.outputText() }).findings;
      var text = CHECK_BASIS;
      if (!found.length) {
        text += '没有发现问题';
      } else {
        text += '发现' + found.length + '个问题：';
        found.slice(0, 10).forEach(function (f) {
          text += '\r\n第' + f.line + '行第' + f.col + '列 ' + (f.error ? '错误：' : '警告：') + ' ' + f.text;
        });
        if (found.length > 10) text += '\r\n……';
      }
      await dialog('检查脚本', text);
    } finally {
      this.busy = false;
      this.section.removeAttribute('data-busy');
    }
  };

  View.prototype.copy = async function () {
    if (this.busy) return;
    this.busy = true;
    this.section.setAttribute('data-busy', '');
    try {
      await this.copyOutput();
    } finally {
      this.busy = false;
      this.section.removeAttribute('data-busy');
    }
  };

  View.prototype.copyOutput = async function () {
    var text = this.outputText();
    var ok = false;
    try {
      await navigator.clipboard.writeText(text);
      ok = true;
    } catch (err) {
      // Without the clipboard API (some browsers on file://), the copy event carries the exact text.
      var put = function (e) { e.clipboardData.setData('text/plain', text); e.preventDefault(); ok = true; };
      document.addEventListener('copy', put);
      try { document.execCommand('copy'); } finally { document.removeEventListener('copy', put); }
    }
    if (ok) await dialog('恭喜!', COPY_DONE);
    else await dialog('失败', COPY_FAILED);
  };

  View.prototype.mark = function (problems) {
    var self = this;
    Object.keys(this.decls).forEach(function (id) {
      var w = self.fields[id];
      var f = self.decls[id];
      if (!w || (f.kind !== 'edit' && f.kind !== 'multiline')) return;
      var p = problems[id];
      w.classList.toggle('warn', !!p);
      if (p) w.title = p; else w.removeAttribute('title');
    });
  };

  // Makes the widgets follow the form.
  View.prototype.show = function (state, problems, warnings) {
    var self = this;
    this.state = state;
    Object.keys(state.fields).forEach(function (id) {
      var s = state.fields[id];
      var w = self.fields[id];
      var f = self.decls[id];
      if (!w || !f) return;
      if (f.kind === 'edit' || f.kind === 'multiline') {
        var shown = s.text.replace(/\r\n/g, '\n');
        if (w.value !== shown) w.value = shown;
        s.text = w.value;
      } else if (f.kind === 'combo') {
        w.selectedIndex = s.index;
      } else {
        w.checked = s.checked;
      }
      w.disabled = !s.enabled;
    });
    Object.keys(this.lists).forEach(function (id) {
      var body = self.lists[id];
      var s = state.lists[id];
      body.textContent = '';
      s.rows.forEach(function (cells, i) {
        body.appendChild(el('tr', { 'aria-selected': i === s.selected ? 'true' : 'false' },
          cells.map(function (c) { return el('td', { text: c }); })));
      });
    });
    if (this.output) {
      var text = state.output.replace(/\r\n/g, '\n');
      if (this.output.value !== text) this.output.value = text;
      this.outputEdited = false;
    }
    if (problems) this.mark(problems);
    if (warnings && this.warnings) {
      this.warnings.textContent = !warnings.length ? '' : warnings.length + ' 个字段的值可能导致脚本出错：' +
        warnings.map(function (w) { return w.label + ' — ' + w.reason; }).join('；');
    }
  };

  // --- Client files: what a press made beside its script, each with its QR code ---

  View.prototype.filesPanel = function () {
    this.filesBox = el('div', { class: 'files', 'data-files': '', hidden: true });
    return this.filesBox;
  };

  View.prototype.showFiles = function (files) {
    var box = this.filesBox;
    box.textContent = '';
    box.appendChild(el('h3', { text: '客户端文件：用 WireGuard 应用扫描二维码，或导入配置文件。它们含有客户端的私钥，请只交给它的主人。' }));
    files.forEach(function (f) {
      var canvas = f.qr ? qrCanvas(f.text) : null;
      var conf = el('button', { type: 'button', 'data-save-file': f.name, text: '下载 ' + f.name });
      conf.addEventListener('click', function () { download(f.name, utf8Bytes(f.text)); });
      var png = canvas ? el('button', { type: 'button', 'data-save-qr': f.name, text: '下载二维码 PNG' }) : null;
      if (png) {
        png.addEventListener('click', function () {
          canvas.toBlob(function (blob) { saveBlob(f.name.replace(/\.conf$/, '') + '.png', blob); }, 'image/png');
        });
      }
      box.appendChild(el('figure', { 'data-file': f.name }, [
        canvas, el('figcaption', null, [el('strong', { text: f.name }), el('pre', { 'data-file-text': '', text: f.text }),
          el('div', { class: 'buttons' }, [conf, png])])]));
    });
    box.hidden = !files.length;
  };

  // The text's UTF-8 bytes, one char per byte, as download() takes them.
  function utf8Bytes(text) {
    var bytes = new TextEncoder().encode(text);
    var out = '';
    for (var i = 0; i < bytes.length; ++i) out += String.fromCharCode(bytes[i]);
    return out;
  }

  function saveBlob(name, blob) {
    var url = URL.createObjectURL(blob);
    var a = el('a', { href: url, download: name });
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  }

  // The QR code of the text's UTF-8 bytes (level M, the smallest version that holds them), drawn
  // with whole pixels a module and four modules of quiet zone; nothing when it is too long.
  function qrCanvas(text) {
    var code;
    try {
      qrcode.stringToBytes = qrcode.stringToBytesFuncs['UTF-8'];
      code = qrcode(0, 'M');
      code.addData(text, 'Byte');
      code.make();
    } catch (e) {
      return el('p', { class: 'note', text: '文件太长，无法生成二维码' });
    }
    var n = code.getModuleCount();
    var scale = Math.max(2, Math.floor(300 / (n + 8)));
    var canvas = el('canvas', { width: (n + 8) * scale, height: (n + 8) * scale, 'data-qr': '' });
    var g = canvas.getContext('2d');
    g.fillStyle = '#fff';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = '#000';
    for (var y = 0; y < n; ++y) {
      for (var x = 0; x < n; ++x) {
        if (code.isDark(y, x)) g.fillRect((x + 4) * scale, (y + 4) * scale, scale, scale);
      }
    }
    return canvas;
  }

  // `n` X25519 key pairs from WebCrypto, each as its 32 secret and 32 public bytes; nothing
  // when this browser has no X25519.
  async function makeKeys(n) {
    var bytes = function (b64url) {
      var s = atob(b64url.replace(/-/g, '+').replace(/_/g, '/'));
      var out = [];
      for (var i = 0; i < s.length; ++i) out.push(s.charCodeAt(i));
      return out;
    };
    try {
      var keys = [];
      for (var i = 0; i < n; ++i) {
        var pair = await crypto.subtle.generateKey({ name: 'X25519' }, true, ['deriveBits']);
        var jwk = await crypto.subtle.exportKey('jwk', pair.privateKey);
        keys.push({ secret: bytes(jwk.d), public: bytes(jwk.x) });
      }
      return keys;
    } catch (e) {
      return null;
    }
  }

  var NO_X25519 = '这个浏览器不能生成 WireGuard 密钥（需要 WebCrypto 的 X25519），没有生成脚本。\r\n' +
    '请换用新版的 Chrome、Edge、Firefox 或 Safari，或者使用桌面版。';
  var COPY_DONE = '复制成功!\r\n\r\n使用方法:\r\n\r\n方法一:请打开winbox下的New Terminal右键选择paste粘贴后回车!  ' +
    '(推荐使用)\r\n\r\n' +
    '方法二:请打开winbox后进入System后选择Scripts,点击号,将刚才复制的脚本粘贴到Source里面后确定.\r\n' +
    '回到Scripts窗口后选中您刚才添加的脚本后点击Run Script运行你所选择的脚本，操作完毕！\r\n\r\n' +
    '方法三:' +
    '使用超级终端或telnet连接路由器后指复制的脚本粘贴运行即可！（注：路由器需开启相应端口，否则将无法连接！）';
  var CHECK_BASIS = '按 RouterOS 7 的命令树检查，并在默认配置的路由器上模拟运行：';
  var COPY_FAILED = '复制失败!\r\n\r\n请检查你的程序是否玩整！';

  // --- Navigation: a side list on wide screens, a drop-down on narrow ones ---

  function open(slug) {
    if (!(slug in views)) slug = 'start';
    if (views[slug] === null) {
      views[slug] = new View(slug);
      document.getElementById('pages').appendChild(views[slug].render());
    }
    document.querySelectorAll('section[data-page]').forEach(function (s) { s.hidden = s.dataset.page !== slug; });
    document.querySelectorAll('#tabs button').forEach(function (b) {
      if (b.dataset.tab === slug) b.setAttribute('aria-current', 'page'); else b.removeAttribute('aria-current');
    });
    document.getElementById('page-select').value = slug;
    if (location.hash.slice(1) !== slug) history.replaceState(null, '', '#' + slug);
  }

  window.rosgenStart = function () {
    var t0 = performance.now();
    engine = Module.cwrap('rosgen_call', 'string', ['string']);
    var all = call({ op: 'pages' });
    site = all.site;
    pages = all.pages;
    var tabs = document.getElementById('tabs');
    var select = document.getElementById('page-select');
    pages.forEach(function (p) {
      var slug = p.index === 0 ? 'start' : p.slug;
      if (p.index !== 0) views[slug] = null;  // described when first opened
      var label = p.index === 0 ? '开始' : p.tab;
      var b = el('button', { type: 'button', 'data-tab': slug, text: label });
      b.addEventListener('click', function () { open(slug); });
      tabs.appendChild(b);
      select.appendChild(el('option', { value: slug, text: label }));
    });
    select.addEventListener('change', function () { open(select.value); });
    window.addEventListener('hashchange', function () { open(location.hash.slice(1)); });
    document.getElementById('loading').remove();
    open(location.hash.slice(1) || 'start');
    document.body.dataset.ready = '';
    window.rosgenReady = { engine: t0, rendered: performance.now() };
  };
})();
