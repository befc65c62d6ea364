// What the black-box tests ask the shell on its session bus: the windows it shows, the work
// area, its X server, where the pointer is, and the clipboard. The shell's own D-Bus API
// keeps all this to trusted callers.
'use strict';

const {Gio, GLib, Meta, St} = imports.gi;
const Main = imports.ui.main;

const Interface = `
<node>
  <interface name="org.kavro.TestDesktop">
    <method name="Windows">
      <arg type="s" name="json" direction="out"/>
    </method>
    <method name="Screen">
      <arg type="s" name="json" direction="out"/>
    </method>
    <method name="Pointer">
      <arg type="i" name="x" direction="out"/>
      <arg type="i" name="y" direction="out"/>
    </method>
    <method name="SetScale">
      <arg type="d" name="scale" direction="in"/>
    </method>
    <method name="SetClipboard">
      <arg type="s" name="type" direction="in"/>
      <arg type="ay" name="data" direction="in"/>
    </method>
    <method name="ClipboardTypes">
      <arg type="as" name="types" direction="out"/>
    </method>
  </interface>
</node>`;

// Menus and tooltips are windows to mutter too, but not the ones a test looks for.
const Popups = [
    Meta.WindowType.DROPDOWN_MENU, Meta.WindowType.POPUP_MENU, Meta.WindowType.TOOLTIP,
    Meta.WindowType.COMBO, Meta.WindowType.DND, Meta.WindowType.OVERRIDE_OTHER,
];

function DisplayConfig(method, parameters) {
    return new Promise((resolve, reject) => {
        Gio.DBus.session.call(
            'org.gnome.Mutter.DisplayConfig', '/org/gnome/Mutter/DisplayConfig',
            'org.gnome.Mutter.DisplayConfig', method, parameters, null, Gio.DBusCallFlags.NONE,
            -1, null, (bus, result) => {
                try {
                    resolve(bus.call_finish(result));
                } catch (e) {
                    reject(e);
                }
            });
    });
}

function Rect(r) {
    return {x: r.x, y: r.y, width: r.width, height: r.height};
}

class TestDesktop {
    Windows() {
        const windows = global.get_window_actors()
            .filter(actor => actor.visible && !actor.is_destroyed())
            .map(actor => actor.meta_window)
            .filter(w => w && !w.minimized && !Popups.includes(w.get_window_type()))
            .sort((a, b) => a.get_stable_sequence() - b.get_stable_sequence());
        return JSON.stringify(windows.map(w => ({
            title: w.get_title() ?? '',
            frame: Rect(w.get_frame_rect()),
            client: Rect(w.frame_rect_to_client_rect(w.get_frame_rect())),
            buffer: Rect(w.get_buffer_rect()),
            focused: w.has_focus(),
            maximizable: w.can_maximize(),
            // The rest is for a person looking at the desktop by hand.
            pid: w.get_pid(),
            type: w.get_window_type(),
            maximized: w.get_maximized(),
            decorated: w.decorated,
            resizeable: w.resizeable,
            transientFor: w.get_transient_for()?.get_title() ?? null,
        })));
    }

    Screen() {
        const monitor = global.display.get_primary_monitor();
        const workspace = global.workspace_manager.get_active_workspace();
        return JSON.stringify({
            stage: {width: global.screen_width, height: global.screen_height},
            monitor: Rect(global.display.get_monitor_geometry(monitor)),
            scale: global.display.get_monitor_scale(monitor),
            workArea: Rect(workspace.get_work_area_for_monitor(monitor)),
            overview: Main.overview.visible,
            // GNOME's X server, for the X11 programs of the session.
            display: GLib.getenv('DISPLAY'),
            xauthority: GLib.getenv('XAUTHORITY'),
            startingUp: Main.layoutManager._startingUp,
        });
    }

    Pointer() {
        const [x, y] = global.get_pointer();
        return [x, y];
    }

    // The one monitor at this scale, in its current mode, as the Displays settings set it.
    // Mutter answers on this same main loop: the calls must not block it.
    async SetScaleAsync([scale], invocation) {
        try {
            const [serial, monitors] = (await DisplayConfig('GetCurrentState', null)).deep_unpack();
            const [[connector], modes] = monitors[0];
            const mode = modes.find(m => m[6]['is-current']?.unpack()) ?? modes[0];
            await DisplayConfig('ApplyMonitorsConfig', new GLib.Variant(
                '(uua(iiduba(ssa{sv}))a{sv})',
                [serial, 1, [[0, 0, scale, 0, true, [[connector, mode[0], {}]]]], {}]));
            invocation.return_value(null);
        } catch (e) {
            invocation.return_error_literal(Gio.DBusError, Gio.DBusError.FAILED, e.message);
        }
    }

    SetClipboard(type, data) {
        St.Clipboard.get_default().set_content(
            St.ClipboardType.CLIPBOARD, type, new GLib.Bytes(data));
    }

    ClipboardTypes() {
        return St.Clipboard.get_default().get_mimetypes(St.ClipboardType.CLIPBOARD);
    }
}

class Extension {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(Interface, new TestDesktop());
        this._object.export(Gio.DBus.session, '/org/kavro/TestDesktop');
    }

    disable() {
        this._object.unexport();
        this._object = null;
    }
}

function init() {
    return new Extension();
}
